#pragma once

#include <algorithm>
#include <cwctype>
#include <functional>
#include <string>
#include <vector>

#include "platform/list_picker.h"

namespace fakes {

// A picker whose list sorts like the real one (ignoring case) and whose modal run a test
// scripts: it chooses the result, and may change the selection or the world meanwhile.
class FakePicker : public platform::ListPicker {
  public:
    void Clear() override { items.clear(); }
    void Append(const std::wstring& text) override {
        const auto position = std::upper_bound(
            items.begin(), items.end(), text,
            [](const std::wstring& a, const std::wstring& b) { return Lower(a) < Lower(b); });
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
