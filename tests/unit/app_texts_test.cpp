#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "platform/error.h"

namespace {

// The system's lower-casing as far as these tests need it: A to Z, a few letters beyond ASCII,
// and one letter outside the Basic Multilingual Plane as its two UTF-16 units (DESERET
// CAPITAL LONG I).
std::wstring FakeLowerCase(std::wstring_view text) {
    std::wstring lower;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') {
            lower += static_cast<wchar_t>(c - L'A' + L'a');
        } else if (c == L'\u00C9' || c == L'\u0421' || c == L'\u03A3') {  // É С Σ
            lower += c == L'\u00C9' ? L'\u00E9' : c == L'\u0421' ? L'\u0441' : L'\u03C3';
        } else if (c == 0xD801 && i + 1 < text.size() && text[i + 1] == 0xDC00) {
            lower += {wchar_t{0xD801}, wchar_t{0xDC28}};
            ++i;
        } else {
            lower += c;
        }
    }
    return lower;
}

std::wstring Title(std::wstring_view path) { return app::ApplicationTitle(path, FakeLowerCase); }

TEST(ApplicationTitleTest, IsTheFileNameBeforeItsFirstDotWithLaterLettersInLowerCase) {
    EXPECT_EQ(Title(L"C:\\Tools\\MERIDO_B.exe"), L"Merido_b");
    EXPECT_EQ(Title(L"C:\\my.tools\\Panel.Copy.exe"), L"Panel");
    EXPECT_EQ(Title(L"D:PANEL"), L"Panel");
    EXPECT_EQ(Title(L"merido.exe"), L"merido");
    EXPECT_EQ(Title(L"C:\\x\\.hidden"), L"");
}

// Every later letter goes through the system's rule; the first character is kept as it is, even
// when the rule would lower it, and a first character of two UTF-16 units is kept whole.
TEST(ApplicationTitleTest, LowersEveryLaterLetterByTheSystemsRuleAndKeepsTheFirstWhole) {
    EXPECT_EQ(Title(L"C:\\\u00C9COLE.exe"), L"\u00C9cole");              // ÉCOLE: École
    EXPECT_EQ(Title(L"C:\\\u00C9\u00C9.exe"), L"\u00C9\u00E9");          // ÉÉ: Éé
    EXPECT_EQ(Title(L"\u0421\u03A3\u0421.exe"), L"\u0421\u03C3\u0441");  // СΣС: Сσс
    EXPECT_EQ(Title(L"E"), L"E");
    // In UTF-16 units, as Windows holds it: 𐐀𐐀A gives 𐐀𐐨a; a lone 𐐀 stays.
    const std::wstring capital{wchar_t{0xD801}, wchar_t{0xDC00}};
    const std::wstring small{wchar_t{0xD801}, wchar_t{0xDC28}};
    EXPECT_EQ(Title(capital + capital + L"A.exe"), capital + small + L"a");
    EXPECT_EQ(Title(capital), capital);
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
