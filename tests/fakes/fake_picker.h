#pragma once

#include <algorithm>
#include <cwctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/list_picker.h"

namespace fakes {

// A picker whose list sorts like the real one (the list control's collation, ListOrder) and
// whose modal run a test scripts: it chooses the result, and may change the selection or the
// world meanwhile.
class FakePicker : public platform::ListPicker {
  public:
    void Clear() override { items.clear(); }
    void Append(const std::wstring& text) override {
        const auto position = std::upper_bound(items.begin(), items.end(), text, ListOrder);
        items.insert(position, text);
    }
    int FindExact(const std::wstring& text) override {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (Lower(items[i]) == Lower(text)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    void Select(int index) override { selected = index; }
    int Selected() override { return selected; }
    std::wstring TextAt(int index) override { return items.at(static_cast<std::size_t>(index)); }
    int ShowModal() override {
        ++showings;
        selectedWhenShown = selected;
        return onShow ? onShow(*this) : kCancel;
    }
    platform::WindowHandle NativeHandle() const override { return handle; }

    // The sorted list control's order, as far as drawing names need it (a word sort that
    // ignores case): "-" and "'" count only between names otherwise equal, the one without
    // them first; the blank and other punctuation come before digits, digits before letters,
    // letters before kana, and katakana sorts with the hiragana of the same sound. Between names
    // that differ only in case, lower case comes first.
    static bool ListOrder(const std::wstring& a, const std::wstring& b) {
        const auto primary = [](const std::wstring& text) {
            std::vector<std::pair<int, wchar_t>> key;
            for (wchar_t c : text) {
                if (c == L'-' || c == L'\'') {
                    continue;
                }
                if (c >= 0x30A1 && c <= 0x30F6) {
                    c = static_cast<wchar_t>(c - 0x60);  // katakana to hiragana
                }
                const int group = std::iswdigit(c)                    ? 1
                                  : std::iswalpha(c) && c < 0x3000    ? 2
                                  : c >= 0x3041 && c <= 0x3096        ? 3
                                  : c < 0x80 || std::iswpunct(c) != 0 ? 0
                                                                      : 4;
                key.emplace_back(group, static_cast<wchar_t>(std::towlower(c)));
            }
            return key;
        };
        const auto upperCase = [](const std::wstring& text) {
            std::vector<bool> key;
            for (wchar_t c : text) {
                key.push_back(std::iswupper(c) != 0);
            }
            return key;
        };
        if (primary(a) != primary(b)) {
            return primary(a) < primary(b);
        }
        if (a.size() != b.size()) {
            return a.size() < b.size();
        }
        if (upperCase(a) != upperCase(b)) {
            return upperCase(a) < upperCase(b);
        }
        return a < b;
    }

    static std::wstring Lower(std::wstring text) {
        for (wchar_t& c : text) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        return text;
    }

    std::vector<std::wstring> items;
    int selected = -1;
    int selectedWhenShown = -2;
    int showings = 0;
    std::function<int(FakePicker&)> onShow;
    platform::WindowHandle handle{0x5151};
};

}  // namespace fakes
