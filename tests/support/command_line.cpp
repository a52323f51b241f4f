#include "tests/support/command_line.h"

namespace test_support {

std::wstring QuoteArgument(std::wstring_view argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        return std::wstring(argument);
    }
    // Backslashes are literal unless they precede a quote; before a quote (an embedded one or
    // the closing one) each must be doubled.
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t unit : argument) {
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        if (unit == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
        } else {
            quoted.append(backslashes, L'\\');
        }
        backslashes = 0;
        quoted += unit;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring BuildCommandLine(const std::wstring& program,
                              const std::vector<std::wstring>& arguments) {
    std::wstring line = QuoteArgument(program);
    for (const std::wstring& argument : arguments) {
        line += L' ';
        line += QuoteArgument(argument);
    }
    return line;
}

}  // namespace test_support
