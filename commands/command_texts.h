#pragma once

namespace commands::texts {

// The commands' messages to the user.
inline constexpr wchar_t kRegistered[] = L"を登録しました．";  // after the path and a line break
inline constexpr wchar_t kNoFolder[] = L"フォルダ名を取得できませんでした．";
inline constexpr wchar_t kNothingRegistered[] =
    L"AutoCAD が登録されていません、\nAutoCAD が起動中に[登録]ボタンをクリックして下さい．";
inline constexpr wchar_t kConfirmOverwrite[] = L"すでに存在します．上書きしますか？";

}  // namespace commands::texts
