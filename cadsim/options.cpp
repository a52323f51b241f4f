#include "cadsim/options.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace cadsim {
namespace {

int ParseInt(std::wstring_view text) {
    const std::wstring digits(text);
    if (digits.empty() || digits.find_first_not_of(L"-0123456789") != std::wstring::npos) {
        throw std::invalid_argument("not a number in a rectangle");
    }
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(digits.c_str(), &end, 10);
    if (errno != 0 || *end != L'\0' || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max()) {
        throw std::invalid_argument("not a number in a rectangle");
    }
    return static_cast<int>(value);
}

}  // namespace

WindowRect ParseWindowRect(std::wstring_view text) {
    std::array<int, 4> values{};
    std::size_t start = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t comma = text.find(L',', start);
        const bool last = i + 1 == values.size();
        if (last != (comma == std::wstring_view::npos)) {
            throw std::invalid_argument("a rectangle is x,y,w,h");
        }
        const std::size_t end = last ? text.size() : comma;
        values[i] = ParseInt(text.substr(start, end - start));
        start = end + 1;
    }
    if (values[2] < 0 || values[3] < 0) {
        throw std::invalid_argument("a rectangle has no negative size");
    }
    return WindowRect{values[0], values[1], values[2], values[3]};
}

Options ParseOptions(const std::vector<std::wstring>& arguments) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& name = arguments[i];
        const auto value = [&]() -> const std::wstring& {
            if (i + 1 >= arguments.size()) {
                throw std::invalid_argument("an option lacks its value");
            }
            return arguments[++i];
        };
        if (name == L"--title") {
            options.title = value();
        } else if (name == L"--class") {
            options.className = value();
        } else if (name == L"--record") {
            options.recordPath = value();
        } else if (name == L"--control") {
            options.controlName = value();
        } else if (name == L"--rect") {
            options.rect = ParseWindowRect(value());
        } else if (name == L"--minimized") {
            options.minimized = true;
        } else if (name == L"--hidden") {
            options.hidden = true;
        } else if (name == L"--no-window") {
            options.noWindow = true;
        } else if (name == L"--automation") {
            options.automationVersion = value();
        } else {
            throw std::invalid_argument("unknown option");
        }
    }
    return options;
}

}  // namespace cadsim
