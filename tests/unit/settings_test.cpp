#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_panel.h"
#include "fakes/fake_profile_files.h"
#include "platform/error.h"
#include "settings/panel_settings.h"
#include "settings/settings_path.h"

namespace {

using platform::OptionBox;

struct PathCase {
    std::wstring executable;
    std::wstring settings;
};

class SettingsPathTest : public testing::TestWithParam<PathCase> {};

TEST_P(SettingsPathTest, ReplacesTheExtensionWithCommaIni) {
    EXPECT_EQ(settings::SettingsPathFor(GetParam().executable), GetParam().settings);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SettingsPathTest,
    testing::Values(PathCase{L"C:\\Tools\\panel.exe", L"C:\\Tools\\panel,ini"},
                    PathCase{L"C:\\Tools\\panel.x.exe", L"C:\\Tools\\panel.x,ini"},
                    PathCase{L"C:\\my.tools\\panel", L"C:\\my.tools\\panel,ini"},
                    PathCase{L"C:panel", L"C:panel,ini"}, PathCase{L"D:.x", L"D:,ini"},
                    PathCase{L"C:\\a.b/panel", L"C:\\a,ini"},  // "/" separates nothing
                    PathCase{L"C:\\Tools\\MERIDO_B.EXE", L"C:\\Tools\\MERIDO_B,ini"},
                    PathCase{L"", L",ini"}));

const std::wstring kPath = L"C:\\Tools\\MERIDO_B,ini";
const settings::Placement kScreen{1024, 768, 201, 79};

class PanelSettingsTest : public testing::Test {
  protected:
    void Store(const std::wstring& key, const std::wstring& value) {
        profiles.files[kPath][{L"AutoCAD", key}] = value;
    }
    std::wstring Stored(const std::wstring& key) {
        return profiles.files[kPath][{L"AutoCAD", key}];
    }
    std::wstring Load() { return settings::LoadPanelSettings(panel, profiles, kPath, kScreen); }

    fakes::FakePanel panel;
    fakes::FakeProfileFiles profiles;
};

TEST_F(PanelSettingsTest, WithoutAFileThePanelIsCentredWithEveryOptionOnAndVersion24) {
    panel.registeredCaption = L"gcad.exe";
    EXPECT_EQ(Load(), L"24");
    EXPECT_EQ(panel.left, (1024 - 201) / 2);
    EXPECT_EQ(panel.top, (768 - 79) / 2);
    EXPECT_EQ(panel.fields.AppFullName, L"");
    EXPECT_EQ(panel.registeredCaption, L"");
    EXPECT_TRUE(panel.clicks.empty());
    EXPECT_EQ(panel.version, L"24");
    // Reads in their order, one call per key, then the flush; nothing is written.
    EXPECT_EQ(profiles.log,
              (std::vector<std::wstring>{L"read Left", L"read Top", L"read AppFullName",
                                         L"read Shift", L"read Ctrl", L"read IME", L"read OFF",
                                         L"read ApiVerNum", L"flush " + kPath}));
    EXPECT_TRUE(profiles.files.empty());
}

// Left and Top arrive together, in one move, exactly as stored.
TEST_F(PanelSettingsTest, TheStoredPositionIsAppliedInOneMove) {
    Store(L"Left", L"-1500");
    Store(L"Top", L"2000");
    Load();
    EXPECT_EQ(panel.left, -1500);
    EXPECT_EQ(panel.top, 2000);
    EXPECT_EQ(std::count(panel.log.begin(), panel.log.end(), L"move"), 1);
}

TEST_F(PanelSettingsTest, CentringRoundsTowardZero) {
    settings::LoadPanelSettings(panel, profiles, kPath, settings::Placement{100, 50, 201, 79});
    EXPECT_EQ(panel.left, -50);  // -101 / 2
    EXPECT_EQ(panel.top, -14);   // -29 / 2
}

struct PositionCase {
    std::wstring stored;
    int expected;
};

class StoredPositionTest : public PanelSettingsTest,
                           public testing::WithParamInterface<PositionCase> {};

TEST_P(StoredPositionTest, LeftIsReadAsAnIntegerOrFallsBackToCentred) {
    Store(L"Left", GetParam().stored);
    Load();
    EXPECT_EQ(panel.left, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredPositionTest,
    testing::Values(PositionCase{L"0x20", 32}, PositionCase{L"0X20", 32}, PositionCase{L"$20", 32},
                    PositionCase{L"x20", 32}, PositionCase{L"-40", -40}, PositionCase{L"12px", 411},
                    PositionCase{L"2147483648", 411}, PositionCase{L"0x123456789", 411},
                    PositionCase{L"-2147483648", INT32_MIN}, PositionCase{L"0x0FFFFFFFF", -1},
                    PositionCase{L"", 411}, PositionCase{L"99999", 99999}));

struct BoolCase {
    std::wstring stored;
    bool ticked;
};

class StoredOptionTest : public PanelSettingsTest, public testing::WithParamInterface<BoolCase> {};

TEST_P(StoredOptionTest, AnOptionIsOffOnlyForAStoredZeroAndThenClicksOnce) {
    Store(L"Shift", GetParam().stored);
    Load();
    EXPECT_EQ(panel.checked[OptionBox::Shift], GetParam().ticked);
    EXPECT_EQ(panel.clicks, GetParam().ticked ? std::vector<OptionBox>{}
                                              : std::vector<OptionBox>{OptionBox::Shift});
}

INSTANTIATE_TEST_SUITE_P(Values, StoredOptionTest,
                         testing::Values(BoolCase{L"0", false}, BoolCase{L"0x0", false},
                                         BoolCase{L"1", true}, BoolCase{L"2", true},
                                         BoolCase{L"-1", true}, BoolCase{L"false", true},
                                         BoolCase{L"yes", true}, BoolCase{L"", true}));

TEST_F(PanelSettingsTest, OptionsStoredOffClickTheirBoxesInOrder) {
    Store(L"IME", L"0");
    Store(L"Shift", L"0");
    Load();
    EXPECT_EQ(panel.clicks, (std::vector<OptionBox>{OptionBox::Shift, OptionBox::Ime}));
    EXPECT_TRUE(panel.checked[OptionBox::Ctrl]);
    EXPECT_TRUE(panel.checked[OptionBox::Off]);
}

TEST_F(PanelSettingsTest, TextsAreTakenAsStoredAndAnEmptyVersionStaysEmpty) {
    Store(L"AppFullName", L"C:\\Program Files\\Autodesk\\acad.exe");
    Store(L"ApiVerNum", L"");
    EXPECT_EQ(Load(), L"");
    EXPECT_EQ(panel.fields.AppFullName, L"C:\\Program Files\\Autodesk\\acad.exe");
    EXPECT_EQ(panel.registeredCaption, L"C:\\Program Files\\Autodesk\\acad.exe");
    EXPECT_EQ(panel.version, L"");
}

TEST_F(PanelSettingsTest, ALongValueIsReadAsItsFirst2047Characters) {
    Store(L"AppFullName", std::wstring(3000, L'p'));
    Load();
    EXPECT_EQ(panel.fields.AppFullName, std::wstring(2047, L'p'));
}

TEST_F(PanelSettingsTest, SavingWritesTheEightKeysInOrderAndFlushes) {
    panel.left = -40;
    panel.top = 12;
    panel.fields.AppFullName = L"D:\\acad.exe";
    panel.checked[OptionBox::Ctrl] = false;
    panel.version = L"25x";  // pasted text is saved unchanged
    settings::SavePanelSettings(panel, profiles, kPath);
    EXPECT_EQ(profiles.order[kPath],
              (std::vector<std::wstring>{L"Left", L"Top", L"AppFullName", L"Shift", L"Ctrl", L"IME",
                                         L"OFF", L"ApiVerNum"}));
    EXPECT_EQ(Stored(L"Left"), L"-40");
    EXPECT_EQ(Stored(L"Top"), L"12");
    EXPECT_EQ(Stored(L"AppFullName"), L"D:\\acad.exe");
    EXPECT_EQ(Stored(L"Shift"), L"1");
    EXPECT_EQ(Stored(L"Ctrl"), L"0");
    EXPECT_EQ(Stored(L"ApiVerNum"), L"25x");
    EXPECT_EQ(profiles.log.back(), L"flush " + kPath);
}

TEST_F(PanelSettingsTest, AFailedWriteNamesTheFileSkipsTheRestAndStillFlushes) {
    profiles.failWritesFrom = L"Shift";
    try {
        settings::SavePanelSettings(panel, profiles, kPath);
        FAIL() << "no error";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.Message(), kPath + L" に書き込めません");
    }
    EXPECT_EQ(profiles.order[kPath], (std::vector<std::wstring>{L"Left", L"Top", L"AppFullName"}));
    EXPECT_EQ(profiles.log.back(), L"flush " + kPath);
    EXPECT_EQ(std::count(profiles.log.begin(), profiles.log.end(), L"write Ctrl"), 0);
}

TEST_F(PanelSettingsTest, WhatIsSavedLoadsBackUnchanged) {
    panel.left = 77;
    panel.top = -3;
    panel.fields.AppFullName = L"C:\\x.exe";
    panel.checked[OptionBox::Off] = false;
    panel.version = L"25";
    settings::SavePanelSettings(panel, profiles, kPath);

    fakes::FakePanel restored;
    EXPECT_EQ(settings::LoadPanelSettings(restored, profiles, kPath, kScreen), L"25");
    EXPECT_EQ(restored.left, 77);
    EXPECT_EQ(restored.top, -3);
    EXPECT_EQ(restored.fields.AppFullName, L"C:\\x.exe");
    EXPECT_FALSE(restored.checked[OptionBox::Off]);
    EXPECT_EQ(restored.version, L"25");
}

}  // namespace
