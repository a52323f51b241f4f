#pragma once

#include <string_view>

namespace cadlink {

// AutoCAD's main window is known by its title and class name alone.
// Both tests are exact and case-sensitive and look only at the text before its first NUL.
bool IsCadMainWindowTitle(std::wstring_view title);
bool IsCadMainWindowClass(std::wstring_view className);

}  // namespace cadlink
