#include "PrintableText.h"
#include "windows_wrappers/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

struct Utf8Case {
    std::wstring text;
    bool crlf;
    std::string bytes;
};

void PrintTo(const Utf8Case& utf8Case, std::ostream* out)
{
    *out << "'" << printable(utf8Case.text) << "'" << (utf8Case.crlf ? " with CRLF" : "");
}

class Utf8Conversion : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Conversion, GivesTheExpectedBytes)
{
    EXPECT_EQ(toUtf8(GetParam().text, GetParam().crlf), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Utf8, Utf8Conversion, ::testing::Values(
    Utf8Case{L"", false, ""},
    Utf8Case{L"USAGE:\n", false, "USAGE:\n"},
    Utf8Case{L"a\nb\n", true, "a\r\nb\r\n"},
    Utf8Case{L"lumi\u00e8re.exe", false, "lumi\xC3\xA8re.exe"},
    Utf8Case{L"\u20ac", false, "\xE2\x82\xAC"},
    Utf8Case{L"\U0001F600", false, "\xF0\x9F\x98\x80"},
    Utf8Case{L"\u0000x"s, false, "\0x"s}));

// Unpaired surrogates only exist where wchar_t holds UTF-16 code units, but a
// 32-bit wchar_t can carry the same values; both must give U+FFFD.
TEST(Utf8, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const std::wstring loneHigh{static_cast<wchar_t>(0xD83D), L'x'};
    const std::wstring loneLow{static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(toUtf8(loneHigh), "\xEF\xBF\xBDx");
    EXPECT_EQ(toUtf8(loneLow), "\xEF\xBF\xBD");
}

constexpr std::int32_t code(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

TEST(HexCode, IsLowerCaseWithoutLeadingZerosOrPrefix)
{
    EXPECT_EQ(hexCode(code(0x80010106)), "80010106");
    EXPECT_EQ(hexCode(code(0x8004100E)), "8004100e");
    EXPECT_EQ(hexCode(1), "1");
    EXPECT_EQ(hexCode(0x40004), "40004");
    EXPECT_EQ(hexCode(0), "0");
    EXPECT_EQ(hexCode(code(0xFFFFFFFF)), "ffffffff");
}

} // namespace
