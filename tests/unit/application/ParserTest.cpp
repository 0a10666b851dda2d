#include "PrintableText.h"
#include "application/Parser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

std::unique_ptr<Request> parseArguments(std::vector<std::wstring> arguments,
                                        std::wstring program = L"C:\\Tools\\lighting.exe")
{
    arguments.insert(arguments.begin(), std::move(program));
    std::vector<const wchar_t*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    Parser parser;
    return parser.parse(static_cast<int>(argv.size()), argv.data());
}

struct FormCase {
    std::vector<std::wstring> arguments;
    RequestKind kind;
    std::vector<std::uint8_t> values;
};

void PrintTo(const FormCase& form, std::ostream* out)
{
    *out << "[";
    for (const auto& argument : form.arguments) {
        *out << " '" << printable(argument) << "'";
    }
    *out << " ]";
}

class CommandLineForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(CommandLineForms, GiveKindAndValues)
{
    const auto& form = GetParam();
    const auto request = parseArguments(form.arguments);
    EXPECT_EQ(request->kind, form.kind);
    if (form.kind != RequestKind::Invalid) {
        EXPECT_THAT(request->values, ElementsAreArray(form.values));
    }
}

INSTANTIATE_TEST_SUITE_P(Parser, CommandLineForms, ::testing::Values(
    FormCase{{}, RequestKind::Restore, {}},
    FormCase{{L"help"}, RequestKind::Help, {}},
    FormCase{{L"-h"}, RequestKind::Help, {}},
    FormCase{{L"/?"}, RequestKind::Help, {}},
    FormCase{{L"HELP"}, RequestKind::Invalid, {}},
    FormCase{{L"Help"}, RequestKind::Invalid, {}},
    FormCase{{L"-H"}, RequestKind::Invalid, {}},
    FormCase{{L"default"}, RequestKind::Default, {}},
    FormCase{{L"Default"}, RequestKind::Invalid, {}},
    FormCase{{L"status"}, RequestKind::Status, {}},
    FormCase{{L"status", L"1"}, RequestKind::Invalid, {}},
    FormCase{{L"status", L"--json"}, RequestKind::Status, {}},
    FormCase{{L"status", L"--JSON"}, RequestKind::Invalid, {}},
    FormCase{{L"--json", L"status"}, RequestKind::Invalid, {}},
    FormCase{{L"100"}, RequestKind::Brightness, {100, 100}},
    FormCase{{L"0"}, RequestKind::Brightness, {0, 0}},
    FormCase{{L"101"}, RequestKind::Invalid, {}},
    FormCase{{L"50", L"60"}, RequestKind::Brightness, {50, 60}},
    FormCase{{L"50", L"160"}, RequestKind::Invalid, {}},
    FormCase{{L"150", L"60"}, RequestKind::Invalid, {}},
    FormCase{{L"255", L"255", L"255", L"100"}, RequestKind::Colors, {255, 255, 255, 100, 255, 255, 255, 100}},
    FormCase{{L"1", L"2", L"3", L"4"}, RequestKind::Colors, {1, 2, 3, 4, 1, 2, 3, 4}},
    FormCase{{L"255", L"255", L"255", L"101"}, RequestKind::Invalid, {}},
    FormCase{{L"256", L"0", L"0", L"50"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}, RequestKind::Colors, {1, 2, 3, 4, 5, 6, 7, 8}},
    FormCase{{L"1", L"2", L"3", L"101", L"5", L"6", L"7", L"8"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"101"}, RequestKind::Invalid, {}},
    FormCase{{L"101", L"2", L"3", L"4", L"5", L"101", L"7", L"8"}, RequestKind::Colors, {101, 2, 3, 4, 5, 101, 7, 8}},
    FormCase{{L"1", L"2", L"3", L"4", L"5", L"6", L"256", L"8"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3", L"4", L"5"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3", L"4", L"5", L"6"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3", L"4", L"5", L"6", L"7"}, RequestKind::Invalid, {}},
    FormCase{{L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"}, RequestKind::Invalid, {}},
    FormCase{{L"--create-xml"}, RequestKind::Invalid, {}},
    // A failing argument makes the request invalid even if later ones are fine.
    FormCase{{L"x", L"2", L"3", L"4"}, RequestKind::Invalid, {}},
    // Zone 2 of a four-number request repeats what zone 1 holds.
    FormCase{{L" 7", L"8", L"9", L"10"}, RequestKind::Colors, {7, 8, 9, 10, 7, 8, 9, 10}}));

struct NumberCase {
    std::wstring text;
    bool accepted;
    std::uint32_t value;
};

void PrintTo(const NumberCase& number, std::ostream* out)
{
    *out << "'" << printable(number.text) << "'";
}

class NumberRules : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberRules, AcceptOnlyWholeUnsignedDecimals)
{
    const auto& number = GetParam();
    std::uint32_t value = 12345;
    EXPECT_EQ(Parser::parseNumber(number.text, value), number.accepted) ;
    EXPECT_EQ(value, number.accepted ? number.value : 12345u);
}

INSTANTIATE_TEST_SUITE_P(Parser, NumberRules, ::testing::Values(
    NumberCase{L"7", true, 7},
    NumberCase{L" 7", true, 7},
    NumberCase{L"\t7", true, 7},
    NumberCase{L"007", true, 7},
    NumberCase{L"+7", true, 7},
    NumberCase{L"4294967295", true, 4294967295u},
    NumberCase{L"4294967296", false, 0},
    NumberCase{L"7 ", false, 0},
    NumberCase{L"7x", false, 0},
    NumberCase{L"1e2", false, 0},
    NumberCase{L"0x10", false, 0},
    NumberCase{L"", false, 0},
    NumberCase{L" ", false, 0},
    NumberCase{L"-0", false, 0},
    NumberCase{L"-1", false, 0},
    NumberCase{L" -5", false, 0},
    NumberCase{L"-4294967295", false, 0},
    NumberCase{L"1.5", false, 0},
    NumberCase{L"\u0661", false, 0}));

TEST(Parser, NegativeBrightnessIsInvalidNotWrapped)
{
    EXPECT_EQ(parseArguments({L"-4294967295"})->kind, RequestKind::Invalid);
    EXPECT_EQ(parseArguments({L"-4294967295", L"-4294967295"})->kind, RequestKind::Invalid);
}

// The character whose value is the wide stream's end-of-file marker: U+FFFF
// where wchar_t has 16 bits, the value -1 where it has 32.
const wchar_t streamEndCharacter =
    std::wistringstream::traits_type::to_char_type(std::wistringstream::traits_type::eof());

TEST(Parser, StreamEndCharacterDoesNotCutANumberShort)
{
    std::uint32_t value = 12345;
    EXPECT_FALSE(Parser::parseNumber(std::wstring(L"7") + streamEndCharacter + L"x", value));
    EXPECT_FALSE(Parser::parseNumber(std::wstring(L"7") + streamEndCharacter, value));
    EXPECT_FALSE(Parser::parseNumber(std::wstring(1, streamEndCharacter) + L"7", value));
    EXPECT_EQ(value, 12345u);
    EXPECT_EQ(parseArguments({std::wstring(L"50") + streamEndCharacter + L"junk"})->kind, RequestKind::Invalid);
    EXPECT_EQ(parseArguments({L"1", L"2", L"3", std::wstring(L"4") + streamEndCharacter})->kind,
              RequestKind::Invalid);
}

struct ProgramNameCase {
    std::wstring argument0;
    std::wstring programName;
};

void PrintTo(const ProgramNameCase& name, std::ostream* out)
{
    *out << "'" << printable(name.argument0) << "'";
}

class ProgramNames : public ::testing::TestWithParam<ProgramNameCase> {};

TEST_P(ProgramNames, AreTheFileNameAsInvoked)
{
    EXPECT_EQ(parseArguments({L"help"}, GetParam().argument0)->programName, GetParam().programName);
}

INSTANTIATE_TEST_SUITE_P(Parser, ProgramNames, ::testing::Values(
    ProgramNameCase{L"C:\\Tools\\lighting.exe", L"lighting.exe"},
    ProgramNameCase{L"lighting", L"lighting"},
    ProgramNameCase{L"C:/Tools/x\\lighting.exe", L"lighting.exe"},
    ProgramNameCase{L"C:\\Tools\\x/lighting.exe", L"lighting.exe"},
    ProgramNameCase{L"C:\\Tools\\", L""},
    ProgramNameCase{L"", L""},
    ProgramNameCase{L"D:\\Outils\\lumi\u00e8re.exe", L"lumi\u00e8re.exe"}));

TEST(Parser, WithoutArgumentZeroGivesInvalidAndNoName)
{
    Parser parser;
    const auto request = parser.parse(0, nullptr);
    EXPECT_EQ(request->kind, RequestKind::Invalid);
    EXPECT_THAT(request->programName, IsEmpty());
}

} // namespace
