#pragma once

#include <string>

#include "platform/win32/unique_handles.h"

namespace cadsim {

// Appends what the simulated AutoCAD received to the record file, one UTF-8 line per event.
// Each line goes to the file in one write, so a reader sees it at once and never half of it.
// Without a path the recorder drops every line.
class Recorder {
  public:
    Recorder() = default;
    explicit Recorder(const std::wstring& path);  // starts the file empty

    void Line(const std::string& line);
    void Clear();

  private:
    platform::win32::UniqueKernelHandle file_;
};

}  // namespace cadsim
