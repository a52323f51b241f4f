#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "platform/error.h"

namespace {

TEST(ApplicationTitleTest, IsTheFileNameBeforeItsFirstDotWithLaterLettersInLowerCase) {
    EXPECT_EQ(app::ApplicationTitle(L"C:\\Tools\\MERIDO_B.exe"), L"Merido_b");
    EXPECT_EQ(app::ApplicationTitle(L"C:\\my.tools\\Panel.Copy.exe"), L"Panel");
    EXPECT_EQ(app::ApplicationTitle(L"D:PANEL"), L"Panel");
    EXPECT_EQ(app::ApplicationTitle(L"merido.exe"), L"merido");
    EXPECT_EQ(app::ApplicationTitle(L"C:\\x\\.hidden"), L"");
}

TEST(WithFullStopTest, AddsAStopOnlyAfterCharactersThatComeAfterTheStop) {
    EXPECT_EQ(app::WithFullStop(L"に書き込めません"), L"に書き込めません.");
    EXPECT_EQ(app::WithFullStop(L"Failed"), L"Failed.");
    EXPECT_EQ(app::WithFullStop(L"Done."), L"Done.");
    EXPECT_EQ(app::WithFullStop(L"Really!"), L"Really!");  // '!' comes before '.'
    EXPECT_EQ(app::WithFullStop(L"a-"), L"a-");            // '-' comes before '.' as well
    EXPECT_EQ(app::WithFullStop(L"path/"), L"path/.");     // '/' comes after it
    EXPECT_EQ(app::WithFullStop(L""), L"");
}

TEST(HexCodeTest, GivesEightUpperCaseDigits) {
    EXPECT_EQ(platform::HexCode(0x800401F3u), L"0x800401F3");
    EXPECT_EQ(platform::HexCode(0x5u), L"0x00000005");
    EXPECT_EQ(platform::HexCode(0xabcdef01u), L"0xABCDEF01");
}

}  // namespace
