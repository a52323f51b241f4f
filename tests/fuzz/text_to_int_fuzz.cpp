// libFuzzer target: TextToIntOrDefault against a second, independent reading of its rules,
// written with a regular expression and wide arithmetic instead of a digit loop.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>

#include "settings/text_to_int.h"

namespace {

std::optional<std::int32_t> Reference(const std::wstring& text) {
    std::string ascii;
    for (wchar_t c : text) {
        if (c <= 0 || c > 0x7E) {
            return std::nullopt;  // no rule accepts anything outside printable ASCII
        }
        ascii += static_cast<char>(c);
    }
    static const std::regex hexadecimal("^ *([+-]?)(0[xX]|[$xX])([0-9A-Fa-f]+)$");
    static const std::regex decimal("^ *([+-]?)([0-9]+)$");
    std::smatch match;
    if (std::regex_match(ascii, match, hexadecimal)) {
        std::string digits = match[3].str();
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        if (digits.size() > 8) {
            return std::nullopt;
        }
        const auto value = static_cast<std::uint32_t>(std::stoull(digits, nullptr, 16));
        const std::int64_t signedValue = static_cast<std::int32_t>(value);
        const std::int64_t result = match[1] == "-" ? -signedValue : signedValue;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(result & 0xFFFFFFFF));
    }
    if (std::regex_match(ascii, match, decimal)) {
        std::string digits = match[2].str();
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        if (digits.size() > 10) {
            return std::nullopt;
        }
        const std::int64_t magnitude = std::stoll(digits);
        const std::int64_t result = match[1] == "-" ? -magnitude : magnitude;
        if (result < INT32_MIN || result > INT32_MAX) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(result);
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes in pairs as UTF-16 code units, and single ASCII bytes, so that both short ASCII
    // texts and arbitrary wide characters come up.
    std::wstring text;
    if (size > 0 && data[0] % 2 == 0) {
        for (std::size_t i = 1; i < size; ++i) {
            text += static_cast<wchar_t>(data[i]);
        }
    } else {
        for (std::size_t i = 1; i + 1 < size; i += 2) {
            text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        }
    }
    const std::int32_t fallback = 0x2BADF00D;
    const std::optional<std::int32_t> expected = Reference(text);
    const std::int32_t actual = settings::TextToIntOrDefault(text, fallback);
    if (actual != expected.value_or(fallback)) {
        std::abort();
    }
    return 0;
}
