#pragma once

#include <string>

namespace platform::win32 {

// The process's current folder; empty when it cannot be read.
std::wstring CurrentFolder();

// While alive, whatever changes the process's current folder, it is the same again afterwards.
// Windows holds the current folder open: left in a folder the user chose, it keeps that folder
// from being renamed, moved or deleted, and every program the panel starts would start there.
class CurrentFolderKeeper {
  public:
    CurrentFolderKeeper() : folder_(CurrentFolder()) {}
    ~CurrentFolderKeeper();
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

  private:
    std::wstring folder_;
};

}  // namespace platform::win32
