#pragma once

#include <string>
#include <string_view>

namespace app {

// The title of the program's message boxes: the executable's file name without its folder, cut
// before its first ".", its first character kept and every later one in lower case.
std::wstring ApplicationTitle(std::wstring_view executablePath);

// An error text as the error box shows it: a full stop is added when the last character comes
// after "." in code order.
std::wstring WithFullStop(std::wstring text);

}  // namespace app
