#pragma once

#include <windows.h>

#include <array>

#include "app/app_texts.h"
#include "app/fonts.h"

namespace app::layout {

// Control ids: tests and accessibility tools find the controls by them.
enum ControlId : int {
    kButton1 = 101,    // texts::kRegisterButton, below the visible area
    kButton2 = 102,    // "ACT"
    kButton3 = 103,    // "WBLOCK", right of the visible area
    kButton4 = 104,    // "LIST"
    kCheckBox1 = 201,  // "Shift"
    kCheckBox2 = 202,  // "Ctrl"
    kCheckBox3 = 203,  // "IME"
    kCheckBox4 = 204,  // "OFF"
    kEdit1 = 301,
    kLabel1 = 401,
    kShape1 = 501,
};

struct ControlEntry {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int left, top, width, height;  // 96-DPI pixels in the client area
    FontRole font;
};

// The client area at 96 DPI; two buttons lie outside it on purpose, reachable by keyboard only.
inline constexpr int kClientWidth = 187;
inline constexpr int kClientHeight = 48;

inline constexpr DWORD kPushButton = BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | WS_TABSTOP;

// In tab order (the controls with WS_TABSTOP), then the two that never take the focus.
inline constexpr std::array<ControlEntry, 11> kControls{{
    {kButton1, L"BUTTON", texts::kRegisterButton, kPushButton, 83, 58, 39, 25, FontRole::Panel},
    {kButton2, L"BUTTON", L"ACT", kPushButton, 12, 1, 37, 25, FontRole::Panel},
    {kButton3, L"BUTTON", L"WBLOCK", kPushButton, 189, 8, 52, 25, FontRole::Panel},
    {kCheckBox1, L"BUTTON", L"Shift", kCheckBox, 47, 28, 44, 17, FontRole::Option},
    {kCheckBox2, L"BUTTON", L"Ctrl", kCheckBox, 94, 28, 40, 17, FontRole::Option},
    {kCheckBox3, L"BUTTON", L"IME", kCheckBox, 2, 28, 41, 17, FontRole::Option},
    {kCheckBox4, L"BUTTON", L"OFF", kCheckBox, 140, 28, 40, 17, FontRole::Option},
    {kButton4, L"BUTTON", L"LIST", kPushButton, 50, 1, 41, 25, FontRole::Panel},
    {kEdit1, L"EDIT", L"25", ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 150,
     1, 33, 24, FontRole::Edit},
    {kShape1, L"TShape", L"", 0, 2, 1, 9, 25, FontRole::Panel},
    {kLabel1, L"STATIC", L"API Ver.=", SS_LEFT | SS_NOPREFIX, 98, 6, 48, 13, FontRole::Panel},
}};

}  // namespace app::layout
