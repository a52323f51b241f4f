#include "commands/wblock_name.h"

#include <cstdint>

#include "platform/path_syntax.h"
#include "settings/text_to_int.h"

namespace commands {
namespace {

constexpr std::wstring_view kMarker = L"_wblock";

// n + 1 on 32 bits, wrapping from the largest value to the smallest as the hardware does.
std::int32_t WrappingIncrement(std::int32_t n) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n) + 1u);
}

}  // namespace

std::wstring ProposeWblockFileName(std::wstring_view fullName) {
    const std::wstring_view extension = platform::ExtensionOf(fullName);
    const std::wstring_view base = fullName.substr(0, fullName.size() - extension.size());

    const std::size_t marker = base.find(kMarker);
    if (marker == std::wstring_view::npos) {
        std::wstring result(base);
        result += kMarker;
        result += L'1';
        result += extension;
        return result;
    }

    const std::size_t tailStart = marker + kMarker.size();
    const std::int32_t n = settings::TextToIntOrDefault(base.substr(tailStart), 0);
    std::wstring result(base.substr(0, tailStart));
    result += std::to_wstring(WrappingIncrement(n));
    result += extension;
    return result;
}

std::wstring WblockInitialFolder(std::wstring_view proposal) {
    const std::size_t separator = platform::LastPathSeparator(proposal);
    if (separator == std::wstring_view::npos) {
        return {};
    }
    if (proposal[separator] == L':') {
        return std::wstring(proposal.substr(0, separator + 1));
    }
    // A "\" that opens the path or follows ":" or "\" is a root and stays with the folder.
    const bool root =
        separator == 0 || proposal[separator - 1] == L':' || proposal[separator - 1] == L'\\';
    return std::wstring(proposal.substr(0, root ? separator + 1 : separator));
}

}  // namespace commands
