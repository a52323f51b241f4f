#include "x_server_input.h"

#include <optional>
#include <stdexcept>
#include <vector>

#include "platform/win32/unique_handles.h"

namespace e2e {
namespace {

constexpr DWORD kXdotoolLimitMs = 20000;

using UnixFileNameOf = char*(CDECL*)(LPCWSTR);

// Wine's own translation of a Windows path into the Unix path it stands for.
std::string UnixPathOf(const std::wstring& path) {
    const auto translate = reinterpret_cast<UnixFileNameOf>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (translate == nullptr) {
        throw std::runtime_error("X input needs Wine: no wine_get_unix_file_name");
    }
    char* unixPath = translate(path.c_str());
    if (unixPath == nullptr) {
        throw std::runtime_error("Wine has no Unix path for the temporary folder");
    }
    std::string result = unixPath;
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

// The file in which the shell leaves xdotool's exit code, by its Windows and its Unix name.
struct ExitFile {
    std::wstring windowsPath;
    std::string unixPath;
};

ExitFile NextExitFile() {
    static const std::wstring folder = [] {
        wchar_t path[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, path);
        return std::wstring(path);
    }();
    static const std::string unixFolder = UnixPathOf(folder);
    static unsigned serial = 0;
    const std::string name = "merido-xdotool-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(++serial);
    std::string unixPath = unixFolder;
    if (unixPath.empty() || unixPath.back() != '/') {
        unixPath += '/';
    }
    return ExitFile{folder + std::wstring(name.begin(), name.end()), unixPath + name};
}

// The exit code once the shell has written it whole (its line end included).
std::optional<std::string> ReadExitCode(const std::wstring& path) {
    const platform::win32::UniqueFileHandle file{::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (!file) {
        return std::nullopt;
    }
    char text[16] = {};
    DWORD read = 0;
    if (!::ReadFile(file.get(), text, sizeof(text) - 1, &read, nullptr) || read == 0 ||
        text[read - 1] != '\n') {
        return std::nullopt;
    }
    return std::string(text, read - 1);
}

void CheckWords(const std::string& text) {
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == ' ' || c == '.' || c == '-' || c == '_';
        if (!plain) {
            throw std::runtime_error("xdotool arguments must be plain words: " + text);
        }
    }
}

}  // namespace

void RunXdotool(const std::string& arguments, const std::string& firstTry) {
    CheckWords(arguments);
    CheckWords(firstTry);
    const ExitFile exitFile = NextExitFile();
    if (exitFile.unixPath.find('\'') != std::string::npos) {
        throw std::runtime_error("a quote in the temporary folder's path: " + exitFile.unixPath);
    }
    const std::string first = firstTry.empty() ? "" : "timeout 2 xdotool " + firstTry + "; ";
    const std::string script =
        first + "xdotool " + arguments + "; echo $? > '" + exitFile.unixPath + "'";
    std::wstring commandLine =
        L"Z:\\bin\\sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        throw std::runtime_error("cannot start xdotool: error " + std::to_string(::GetLastError()));
    }
    // Wine hands out no handles for a Unix program; a Windows one would have them.
    const platform::win32::UniqueKernelHandle processHandle{process.hProcess};
    const platform::win32::UniqueKernelHandle threadHandle{process.hThread};

    const ULONGLONG deadline = ::GetTickCount64() + kXdotoolLimitMs;
    std::optional<std::string> exitCode;
    while (!(exitCode = ReadExitCode(exitFile.windowsPath)) && ::GetTickCount64() < deadline) {
        ::Sleep(1);
    }
    ::DeleteFileW(exitFile.windowsPath.c_str());
    if (!exitCode) {
        throw std::runtime_error("xdotool did not end: " + arguments);
    }
    if (*exitCode != "0") {
        throw std::runtime_error("xdotool failed (" + *exitCode + "): " + arguments);
    }
}

}  // namespace e2e
