#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ime.h"
#include "platform/keyboard.h"

namespace fakes {

// A keyboard whose held keys a test chooses; it counts the state reads and logs what is sent.
class FakeKeyboard : public platform::Keyboard {
  public:
    std::int16_t KeyState(int virtualKey) override {
        ++reads;
        std::int16_t state = toggled.count(virtualKey) ? 1 : 0;
        if (down.count(virtualKey)) {
            state = static_cast<std::int16_t>(state | static_cast<std::int16_t>(0x8000));
        }
        return state;
    }
    void SendKey(std::uint8_t virtualKey, bool release) override {
        sent.push_back((release ? L"up " : L"down ") + std::to_wstring(virtualKey));
    }

    std::set<int> down;
    std::set<int> toggled;
    int reads = 0;
    std::vector<std::wstring> sent;
};

// An IME per window with an open status; it logs every request. A request listed in
// `unanswered` gets no reply in time and changes nothing.
class FakeIme : public platform::Ime {
  public:
    platform::WindowHandle DefaultImeWindow(platform::WindowHandle window) override {
        ++lookups;
        const auto found = imeOf.find(window);
        return found == imeOf.end() ? platform::WindowHandle::none : found->second;
    }
    std::optional<std::intptr_t> Control(platform::WindowHandle imeWindow,
                                         std::uintptr_t request) override {
        requests.push_back(request);
        if (unanswered.count(request) != 0) {
            return std::nullopt;
        }
        if (request == kSetOpenStatus) {
            openStatus[imeWindow] = 0;
            return 0;
        }
        return openStatus[imeWindow];
    }

    std::map<platform::WindowHandle, platform::WindowHandle> imeOf;
    std::map<platform::WindowHandle, std::intptr_t> openStatus;
    std::vector<std::uintptr_t> requests;
    std::set<std::uintptr_t> unanswered;
    int lookups = 0;
};

}  // namespace fakes
