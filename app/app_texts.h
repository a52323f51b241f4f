#pragma once

#include <string>
#include <string_view>

namespace app {

// The texts the program's windows show; every text meant for the user is Japanese.
namespace texts {

inline constexpr wchar_t kRegisterButton[] = L" 登録";  // Button1, below the visible area
inline constexpr wchar_t kRegisterMenuItem[] = L"起動中の AutoCAD を登録";
inline constexpr wchar_t kVersionMenuItem[] = L"バージョン情報";
inline constexpr wchar_t kPickerTitle[] = L"入力候補";
inline constexpr wchar_t kConfirmationTitle[] = L"確認";
inline constexpr wchar_t kYesButton[] = L"はい(&Y)";
inline constexpr wchar_t kNoButton[] = L"いいえ(&N)";
inline constexpr wchar_t kOkButton[] = L"OK";
inline constexpr wchar_t kPanelNotCreated[] = L"パネルを作成できません";
// The error box's text for an error that carries none.
inline constexpr wchar_t kUnknownError[] = L"不明なエラーが発生しました";

}  // namespace texts

// Lower-cases a text by the system's rule: every letter, not only A to Z.
using LowerCaseRule = std::wstring (*)(std::wstring_view text);

// The title of the program's message boxes: the executable's file name without its folder, cut
// before its first ".", its first character kept and every later one in lower case
// (`ÉCOLE.exe` gives "École").
std::wstring ApplicationTitle(std::wstring_view executablePath, LowerCaseRule lowerCase);

// An error text as the error box shows it: a full stop is added when the last character comes
// after "." in code order.
std::wstring WithFullStop(std::wstring text);

}  // namespace app
