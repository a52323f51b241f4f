#include <gtest/gtest.h>

#include <string>

#include "app/app_texts.h"
#include "platform/win32/text_case.h"

namespace {

using platform::win32::LowerCase;

TEST(TextCaseTest, LowersEveryLetterThatHasALowerCaseForm) {
    EXPECT_EQ(LowerCase(L"MERIDO_B"), L"merido_b");
    EXPECT_EQ(LowerCase(L"\u00C9COLE"), L"\u00E9cole");                    // ÉCOLE
    EXPECT_EQ(LowerCase(L"\u00C4\u00D6\u00DC"), L"\u00E4\u00F6\u00FC");    // ÄÖÜ
    EXPECT_EQ(LowerCase(L"\u0414\u041E\u041C"), L"\u0434\u043E\u043C");    // ДОМ
    EXPECT_EQ(LowerCase(L"\u03A3\u039F\u03A6"), L"\u03C3\u03BF\u03C6");    // ΣΟΦ
    EXPECT_EQ(LowerCase(L"\u30D1\u30CD\u30EB1"), L"\u30D1\u30CD\u30EB1");  // パネル1: no case
    EXPECT_EQ(LowerCase(L""), L"");
}

TEST(TextCaseTest, TheBoxTitleOfAnExecutableNamedBeyondAscii) {
    EXPECT_EQ(app::ApplicationTitle(L"C:\\Tools\\\u00C9COLE.exe", LowerCase), L"\u00C9cole");
    EXPECT_EQ(app::ApplicationTitle(L"C:\\Tools\\MERIDO_B.exe", LowerCase), L"Merido_b");
}

}  // namespace
