#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

    std::string ReadBytes() const {
        std::ifstream file{fs::path(path), std::ios::binary};
        return {std::istreambuf_iterator<char>(file), {}};
    }

    // The file's text after its UTF-16LE byte-order mark.
    std::wstring ReadUtf16() const {
        const std::string bytes = ReadBytes();
        std::wstring text;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                         (static_cast<unsigned char>(bytes[i + 1]) << 8));
        }
        return text;
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

TEST_F(ProfileFilesTest, AFileCreatedByAWriteIsUtf16AndHoldsAnyCharacter) {
    const std::wstring registered = L"C:\\Users\\\u0141ukasz\\\u56F3\\acad.exe";
    for (const std::wstring& key : {std::wstring(L"Left"), std::wstring(L"AppFullName")}) {
        ASSERT_TRUE(files.WriteString(L"AutoCAD", key, key == L"Left" ? L"-40" : registered, path));
    }
    files.Flush(path);
    EXPECT_EQ(ReadBytes().substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ReadUtf16(), L"[AutoCAD]\r\nLeft=-40\r\nAppFullName=" + registered + L"\r\n");
    EXPECT_EQ(Read(L"AppFullName"), registered);
}

TEST_F(ProfileFilesTest, AnExistingFileKeepsItsEncoding) {
    WriteBytes("[AutoCAD]\r\nLeft=1\r\n");
    ASSERT_TRUE(files.WriteString(L"AutoCAD", L"Top", L"2", path));
    files.Flush(path);
    EXPECT_EQ(ReadBytes(), "[AutoCAD]\r\nLeft=1\r\nTop=2\r\n");
}

TEST_F(ProfileFilesTest, AWriteThatCannotReachTheFileFails) {
    fs::create_directories(path);  // a folder where the file should be
    EXPECT_FALSE(files.WriteString(L"AutoCAD", L"Left", L"1", path));
    EXPECT_EQ(Read(L"Left"), L"<missing>");
}

}  // namespace
