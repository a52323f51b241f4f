#pragma once

namespace settings::texts {

// The settings' messages to the user.
inline constexpr wchar_t kCannotWrite[] = L" に書き込めません";  // after the file's path

}  // namespace settings::texts
