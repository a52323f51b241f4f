#pragma once

namespace commands::texts {

// The commands' messages to the user.
inline constexpr wchar_t kRegistered[] = L"を登録しました．";  // after the path and a line break
inline constexpr wchar_t kNoFolder[] = L"フォルダ名を取得できませんでした．";
inline constexpr wchar_t kNothingRegistered[] =
    L"AutoCAD が登録されていません、\nAutoCAD が起動中に[登録]ボタンをクリックして下さい．";
inline constexpr wchar_t kConfirmOverwrite[] = L"すでに存在します．上書きしますか？";
// AutoCAD's window is there, but its server is out of reach because the two programs run with
// different rights.
inline constexpr wchar_t kCadElevated[] =
    L"AutoCAD が管理者として実行されているため、接続できません。"
    L"AutoCAD と MERIDO_B を同じ権限で起動してください。";
inline constexpr wchar_t kPanelElevated[] =
    L"MERIDO_B が管理者として実行されているため、AutoCAD に接続できません。"
    L"AutoCAD と MERIDO_B を同じ権限で起動してください。";

}  // namespace commands::texts
