#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cadsim {

// An outer window rectangle as the command line and the "move" command give it.
struct WindowRect {
    int x = 600;
    int y = 300;
    int width = 400;
    int height = 300;
};

// What cadsim is told on its command line.
struct Options {
    std::wstring title = L"Autodesk AutoCAD 2025 - [Drawing1.dwg]";
    std::wstring className = L"AfxMDIFrame140u";
    std::wstring recordPath;  // empty: no record
    std::wstring controlName = L"cadsim";
    WindowRect rect;
    bool minimized = false;
    bool hidden = false;
    bool noWindow = false;
    std::wstring automationVersion;  // empty: no automation server registered at start
};

// "x,y,w,h" with four decimal integers, width and height not negative; throws
// std::invalid_argument otherwise.
WindowRect ParseWindowRect(std::wstring_view text);

// The arguments after the program name; throws std::invalid_argument for an unknown option or
// a missing or malformed value.
Options ParseOptions(const std::vector<std::wstring>& arguments);

}  // namespace cadsim
