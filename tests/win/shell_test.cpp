#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/win32_shell.h"

namespace {

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = temp;
    if (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

// A folder path of at least `length` characters under the temporary folder, created with the
// long form, and a file in it; both go again with the object.
class LongPathFixture : public testing::Test {
  protected:
    void SetUp() override {
        folder = TempFolder() + L"\\merido-long-path";
        folders.push_back(folder);
        while (folder.size() < 290) {
            folder += L"\\" + std::wstring(60, L'd');
            folders.push_back(folder);
        }
        for (const std::wstring& each : folders) {
            ::CreateDirectoryW((L"\\\\?\\" + each).c_str(), nullptr);
        }
        file = folder + L"\\acad.exe";
        ::CloseHandle(::CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    void TearDown() override {
        ::DeleteFileW((L"\\\\?\\" + file).c_str());
        for (auto each = folders.rbegin(); each != folders.rend(); ++each) {
            ::RemoveDirectoryW((L"\\\\?\\" + *each).c_str());
        }
    }

    std::vector<std::wstring> folders;
    std::wstring folder;
    std::wstring file;
    platform::win32::Win32Shell shell;
};

TEST_F(LongPathFixture, AFileBeyond260CharactersExistsAndAFolderThereIsNoFile) {
    ASSERT_GE(file.size(), 300u);
    EXPECT_TRUE(shell.IsExistingFile(file));
    EXPECT_FALSE(shell.IsExistingFile(folder));
    EXPECT_FALSE(shell.IsExistingFile(file + L"x"));
    // The same file named with "/" and a ".." step.
    std::wstring roundabout =
        folder + L"\\..\\" + folder.substr(folder.rfind(L'\\') + 1) + L"/acad.exe";
    EXPECT_TRUE(shell.IsExistingFile(roundabout));
}

TEST(LongPathFormTest, FullPathsGainTheLongFormAndSharesTheUncForm) {
    struct Case {
        std::wstring path;
        std::wstring expected;
    };
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring here = current;
    const Case cases[] = {
        {L"C:\\dwg\\plan.dwg", L"\\\\?\\C:\\dwg\\plan.dwg"},
        {L"C:/dwg/sub/../plan.dwg", L"\\\\?\\C:\\dwg\\plan.dwg"},
        {L"\\\\server\\share\\cad\\acad.exe", L"\\\\?\\UNC\\server\\share\\cad\\acad.exe"},
        {L"\\\\?\\C:\\dwg\\plan.dwg", L"\\\\?\\C:\\dwg\\plan.dwg"},
        {L"\\\\?\\UNC\\server\\share\\a", L"\\\\?\\UNC\\server\\share\\a"},
        {L"acad.exe", L"\\\\?\\" + here + (here.back() == L'\\' ? L"" : L"\\") + L"acad.exe"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::win32::LongPathForm(c.path), c.expected);
    }
}

}  // namespace
