#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace testing_support {

// What the process writes to the debugger's channel while it lives. OutputDebugString raises an
// exception that a debugger receives as its output event (the wide one first on Windows 10 and
// later, then the ANSI one); a first-chance handler of the process sees it before anyone else and
// passes it on untouched.
class DebugOutputCapture {
  public:
    DebugOutputCapture() : handler_(::AddVectoredExceptionHandler(1, &Record)) { current_ = this; }
    ~DebugOutputCapture() {
        ::RemoveVectoredExceptionHandler(handler_);
        current_ = nullptr;
    }
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Whether one of the strings written was `text`, in either form.
    bool Saw(const std::wstring& text) const {
        return std::find(strings_.begin(), strings_.end(), text) != strings_.end();
    }
    const std::vector<std::wstring>& Strings() const { return strings_; }

  private:
    static constexpr DWORD kPrintException = 0x40010006;      // DBG_PRINTEXCEPTION_C
    static constexpr DWORD kPrintExceptionWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C

    static LONG CALLBACK Record(EXCEPTION_POINTERS* pointers) {
        const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
        if (current_ != nullptr && record.NumberParameters >= 2) {
            const auto length = static_cast<std::size_t>(record.ExceptionInformation[0]);
            if (record.ExceptionCode == kPrintExceptionWide) {
                const auto* text = reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]);
                current_->strings_.emplace_back(text, length > 0 ? length - 1 : 0);
            } else if (record.ExceptionCode == kPrintException) {
                const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
                current_->strings_.emplace_back(text, text + (length > 0 ? length - 1 : 0));
            }
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }

    inline static DebugOutputCapture* current_ = nullptr;
    PVOID handler_;
    std::vector<std::wstring> strings_;
};

}  // namespace testing_support
