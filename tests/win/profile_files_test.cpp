#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/win32_profile_files.h"

namespace {

namespace fs = std::filesystem;

// Each test works on files of its own in a fresh folder.
class ProfileFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder = fs::path(temp) / L"merido-profile" /
                 testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
        path = (folder / L"MERIDO_B,ini").wstring();
    }

    void WriteBytes(const std::string& bytes) {
        std::ofstream(fs::path(path), std::ios::binary) << bytes;
    }

    std::wstring Read(const std::wstring& key, const std::wstring& fallback = L"<missing>") {
        return files.ReadString(L"AutoCAD", key, fallback, path);
    }

    fs::path folder;
    std::wstring path;
    platform::win32::Win32ProfileFiles files;
};

TEST_F(ProfileFilesTest, AMissingFileGivesTheFallbackAndIsNotCreated) {
    EXPECT_EQ(Read(L"Left"), L"<missing>");
    files.Flush(path);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ProfileFilesTest, ReadsAPlainAsciiFileAndTellsEmptyValuesFromMissingKeys) {
    WriteBytes("[AutoCAD]\r\nLeft=0x20\r\nApiVerNum=\r\n[Other]\r\nTop=5\r\n");
    EXPECT_EQ(Read(L"Left"), L"0x20");
    EXPECT_EQ(Read(L"ApiVerNum"), L"");
    EXPECT_EQ(Read(L"Top"), L"<missing>");
}

TEST_F(ProfileFilesTest, ReadsTheAsciiKeysOfAUtf16FileWithAByteOrderMark) {
    const std::wstring text = L"[AutoCAD]\r\nLeft=-40\r\nAppFullName=C:\\CAD\\acad.exe\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteBytes(bytes);
    EXPECT_EQ(Read(L"Left"), L"-40");
    EXPECT_EQ(Read(L"AppFullName"), L"C:\\CAD\\acad.exe");
}

TEST_F(ProfileFilesTest, ReadsAUtf8File) {
    WriteBytes("\xEF\xBB\xBF[AutoCAD]\nShift=0\nCtrl=1\n");
    EXPECT_EQ(Read(L"Shift"), L"0");
    EXPECT_EQ(Read(L"Ctrl"), L"1");
}

TEST_F(ProfileFilesTest, BinaryGarbageGivesTheFallbacks) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 131 + 7) % 256);
    }
    WriteBytes(garbage);
    for (const wchar_t* key : {L"Left", L"Top", L"Shift", L"ApiVerNum"}) {
        EXPECT_EQ(Read(key), L"<missing>") << key;
    }
}

TEST_F(ProfileFilesTest, AValueLongerThan2047CharactersIsCut) {
    WriteBytes("[AutoCAD]\r\nAppFullName=" + std::string(5000, 'p') + "\r\n");
    EXPECT_EQ(Read(L"AppFullName"), std::wstring(2047, L'p'));
}

TEST_F(ProfileFilesTest, WritesCreateTheFileSectionAndKeysInOrder) {
    for (const wchar_t* key : {L"Left", L"Top", L"AppFullName"}) {
        ASSERT_TRUE(files.WriteString(L"AutoCAD", key, std::wstring(key) + L"-value", path));
    }
    files.Flush(path);
    std::ifstream file{fs::path(path)};
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"[AutoCAD]", "Left=Left-value", "Top=Top-value",
                                               "AppFullName=AppFullName-value"}));
}

TEST_F(ProfileFilesTest, AWriteThatCannotReachTheFileFails) {
    fs::create_directories(path);  // a folder where the file should be
    EXPECT_FALSE(files.WriteString(L"AutoCAD", L"Left", L"1", path));
    EXPECT_EQ(Read(L"Left"), L"<missing>");
}

}  // namespace
