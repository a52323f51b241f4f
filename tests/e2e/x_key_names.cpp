#include "x_key_names.h"

#include <stdexcept>
#include <utility>

namespace e2e {
namespace {

constexpr std::pair<WORD, const char*> kKeysyms[] = {
    {VK_BACK, "BackSpace"},
    {VK_TAB, "Tab"},
    {VK_RETURN, "Return"},
    {VK_SHIFT, "Shift_L"},
    {VK_CONTROL, "Control_L"},
    {VK_MENU, "Alt_L"},
    {VK_PAUSE, "Pause"},
    {VK_ESCAPE, "Escape"},
    {VK_SPACE, "space"},
    {VK_PRIOR, "Prior"},
    {VK_NEXT, "Next"},
    {VK_END, "End"},
    {VK_HOME, "Home"},
    {VK_LEFT, "Left"},
    {VK_UP, "Up"},
    {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},
    {VK_INSERT, "Insert"},
    {VK_DELETE, "Delete"},
    {VK_LWIN, "Super_L"},
    {VK_RWIN, "Super_R"},
    {VK_APPS, "Menu"},
    {VK_MULTIPLY, "KP_Multiply"},
    {VK_ADD, "KP_Add"},
    {VK_SUBTRACT, "KP_Subtract"},
    {VK_DIVIDE, "KP_Divide"},
    {VK_LSHIFT, "Shift_L"},
    {VK_RSHIFT, "Shift_R"},
    {VK_LCONTROL, "Control_L"},
    {VK_RCONTROL, "Control_R"},
    {VK_LMENU, "Alt_L"},
    {VK_OEM_1, "semicolon"},
    {VK_OEM_PLUS, "equal"},
    {VK_OEM_COMMA, "comma"},
    {VK_OEM_MINUS, "minus"},
    {VK_OEM_PERIOD, "period"},
    {VK_OEM_2, "slash"},
    {VK_OEM_3, "grave"},
    {VK_OEM_4, "bracketleft"},
    {VK_OEM_5, "backslash"},
    {VK_OEM_6, "bracketright"},
    {VK_OEM_7, "apostrophe"},
};

}  // namespace

std::string KeysymOf(WORD key) {
    if (key >= '0' && key <= '9') {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= 'A' && key <= 'Z') {
        return std::string(1, static_cast<char>(key - 'A' + 'a'));
    }
    if (key >= VK_F1 && key <= VK_F12) {  // the keys Xvfb's keyboard has
        std::string name = "F";
        name += std::to_string(key - VK_F1 + 1);
        return name;
    }
    for (const auto& [code, keysym] : kKeysyms) {
        if (code == key) {
            return keysym;
        }
    }
    throw std::invalid_argument("no X key for virtual-key code " + std::to_string(key));
}

}  // namespace e2e
