// libFuzzer target: ProposeWblockFileName against a second reading of its rules, written as
// plain index loops over the characters, and WblockInitialFolder against a reverse scan; the
// folder must always be a prefix of the proposal it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "commands/wblock_name.h"
#include "settings/text_to_int.h"

namespace {

const std::wstring kMarker = L"_wblock";

// Index of the first character of the extension, or text.size() when there is none: walk back
// from the end; a "." met before any "\" or ":" starts it.
std::size_t ExtensionStart(const std::wstring& text) {
    for (std::size_t i = text.size(); i > 0; --i) {
        const wchar_t c = text[i - 1];
        if (c == L'\\' || c == L':') {
            return text.size();
        }
        if (c == L'.') {
            return i - 1;
        }
    }
    return text.size();
}

// Index of the first "_wblock" in text, or text.size() when there is none.
std::size_t FirstMarker(const std::wstring& text) {
    for (std::size_t i = 0; i + kMarker.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < kMarker.size() && text[i + k] == kMarker[k]) {
            ++k;
        }
        if (k == kMarker.size()) {
            return i;
        }
    }
    return text.size();
}

std::wstring Decimal(std::int64_t value) {
    if (value == 0) {
        return L"0";
    }
    std::wstring digits;
    const bool negative = value < 0;
    std::int64_t magnitude = negative ? -value : value;
    while (magnitude > 0) {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    }
    return negative ? L"-" + digits : digits;
}

std::wstring ReferenceProposal(const std::wstring& fullName) {
    const std::size_t extStart = ExtensionStart(fullName);
    const std::wstring ext = fullName.substr(extStart);
    const std::wstring base = fullName.substr(0, extStart);
    const std::size_t pos = FirstMarker(base);
    if (pos == base.size()) {
        return base + L"_wblock1" + ext;
    }
    const std::size_t prefixLength = pos + kMarker.size();
    const std::int64_t n = settings::TextToIntOrDefault(base.substr(prefixLength), 0);
    std::int64_t next = n + 1;
    if (next > INT32_MAX) {
        next -= std::int64_t{1} << 32;
    }
    return base.substr(0, prefixLength) + Decimal(next) + ext;
}

std::wstring ReferenceFolder(const std::wstring& proposal) {
    for (std::size_t i = proposal.size(); i > 0; --i) {
        const wchar_t c = proposal[i - 1];
        if (c == L':') {
            return proposal.substr(0, i);
        }
        if (c == L'\\') {
            const bool keep = i == 1 || proposal[i - 2] == L':' || proposal[i - 2] == L'\\';
            return proposal.substr(0, keep ? i : i - 1);
        }
    }
    return L"";
}

// Pieces that make the interesting paths likely: separators, dots, the marker in both cases,
// signs, hexadecimal prefixes and digits.
const wchar_t* const kPieces[] = {
    L"_wblock", L"_WBLOCK",    L"\\",          L":",        L".",  L"0",        L"1", L"7",
    L"9",       L"-",          L"+",           L"$",        L"x",  L"0x",       L" ", L"F",
    L"a",       L"2147483647", L"-2147483648", L"FFFFFFFF", L"_",  L"w",        L"/", L"\u00E9",
    L"\uFF3F",  L"C:\\",       L"dwg",         L"\\\\",     L"\t", L"00000000",
};
constexpr std::size_t kPieceCount = sizeof(kPieces) / sizeof(kPieces[0]);

std::wstring Decode(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    if (size == 0) {
        return text;
    }
    switch (data[0] % 3) {
        case 0:  // pieces
            for (std::size_t i = 1; i < size; ++i) {
                text += kPieces[data[i] % kPieceCount];
            }
            break;
        case 1:  // single bytes
            for (std::size_t i = 1; i < size; ++i) {
                text += static_cast<wchar_t>(data[i]);
            }
            break;
        default:  // UTF-16 code units
            for (std::size_t i = 1; i + 1 < size; i += 2) {
                text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
            }
            break;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring fullName = Decode(data, size);
    const std::wstring proposal = commands::ProposeWblockFileName(fullName);
    if (proposal != ReferenceProposal(fullName)) {
        std::abort();
    }
    // The folder of the proposal and of the raw input alike: a prefix, as the reference says.
    for (const std::wstring* text : {&proposal, &fullName}) {
        const std::wstring folder = commands::WblockInitialFolder(*text);
        if (folder.size() > text->size() || text->compare(0, folder.size(), folder) != 0 ||
            folder != ReferenceFolder(*text)) {
            std::abort();
        }
    }
    return 0;
}
