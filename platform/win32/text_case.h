#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

// The text in lower case by the system's own rule, the same whatever the user's language: every
// letter that has a lower-case form, not only A to Z. The text unchanged when the system cannot
// map it.
std::wstring LowerCase(std::wstring_view text);

}  // namespace platform::win32
