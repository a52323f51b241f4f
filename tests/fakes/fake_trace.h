#pragma once

#include <string>
#include <vector>

#include "platform/trace.h"

namespace fakes {

// A trace that keeps its lines.
class FakeTrace : public platform::Trace {
  public:
    void Write(const std::wstring& line) noexcept override { lines.push_back(line); }

    std::vector<std::wstring> lines;
};

}  // namespace fakes
