#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/win32/dll_function.h"
#include "platform/win32/module_path.h"
#include "tests/support/test_bin_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(ModulePathTest, APathLongerThanTheBufferIsReadWhole) {
    const std::wstring full = platform::win32::ModuleFileName(nullptr);
    ASSERT_TRUE(fs::is_regular_file(fs::path(full)));
    EXPECT_EQ(fs::path(full).filename(), L"win_tests.exe");
    // Every starting size, down to one character, ends with the whole path and no terminator.
    for (std::size_t units : {std::size_t{1}, std::size_t{2}, std::size_t{7}, full.size() - 1,
                              full.size(), full.size() + 1}) {
        EXPECT_EQ(platform::win32::ModuleFileName(nullptr, units), full) << units;
    }
}

// A DLL of its own name beside the test program: found by a plain search, which starts in the
// program's folder, but never by the program's run-time lookups, which search the system folder
// alone.
TEST(DllSearchTest, ARunTimeLookupDoesNotLoadADllBesideTheProgram) {
    const std::wstring probe = L"merido_dll_probe.dll";
    ASSERT_TRUE(fs::exists(fs::path(test_support::TestBinDir()) / probe));
    ASSERT_EQ(::GetModuleHandleW(probe.c_str()), nullptr);
    EXPECT_EQ(platform::win32::DllFunctionAddress(probe.c_str(), "DllMain"), nullptr);
    EXPECT_EQ(::GetModuleHandleW(probe.c_str()), nullptr);
    // The system's own DLLs are still found there.
    EXPECT_NE(platform::win32::DllFunctionAddress(L"psapi.dll", "GetModuleFileNameExW"), nullptr);

    // The control: the plain search does find the probe, so the check above can fail.
    HMODULE plain = ::LoadLibraryW(probe.c_str());
    EXPECT_NE(plain, nullptr);
    if (plain != nullptr) {
        ::FreeLibrary(plain);
    }
    fs::remove(fs::path(test_support::TestBinDir()) / L"dll-probe-loaded.txt");
}

}  // namespace
