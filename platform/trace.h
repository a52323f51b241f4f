#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "platform/automation.h"
#include "platform/error.h"

namespace platform {

// The debugger's channel, which a support engineer reads with a debug-output viewer: one line
// for each error that a guarded section swallows and each call given up. Nothing reaches the
// user. Lines are written only on failures, so they cost nothing while AutoCAD answers.
class Trace {
  public:
    virtual ~Trace() = default;
    virtual void Write(const std::wstring& line) noexcept = 0;
};

// "MERIDO_B <where>: <member> <code in hex>: <text>", the parts left out that are not known.
inline std::wstring TraceLine(std::wstring_view where, std::wstring_view member,
                              std::optional<std::uint32_t> code, std::wstring_view text) {
    std::wstring line = L"MERIDO_B ";
    line.append(where).append(L": ");
    if (!member.empty()) {
        line.append(member).append(code ? L" " : L": ");
    }
    if (code) {
        line.append(HexCode(*code)).append(L": ");
    }
    return line.append(text);
}

// The line of a caught error: an automation error's member, code and text; a program error's
// text; a standard exception's text, widened byte by byte.
inline std::wstring TraceLineOf(std::wstring_view where, const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const AutomationError& failure) {
        return TraceLine(where, failure.Member(), failure.Code(), failure.Message());
    } catch (const Error& failure) {
        return TraceLine(where, {}, std::nullopt, failure.Message());
    } catch (const std::exception& failure) {
        std::wstring text;
        for (const char c : std::string_view(failure.what())) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
        return TraceLine(where, {}, std::nullopt, text);
    } catch (...) {
        return TraceLine(where, {}, std::nullopt, L"unknown error");
    }
}

// Writes the line of an error that `where` swallows; never throws (a line that cannot even be
// formatted is dropped).
inline void TraceSwallowed(Trace& trace, std::wstring_view where,
                           const std::exception_ptr& error) noexcept {
    try {
        trace.Write(TraceLineOf(where, error));
    } catch (...) {
        // No memory for the line: the trace goes without it.
    }
}

}  // namespace platform
