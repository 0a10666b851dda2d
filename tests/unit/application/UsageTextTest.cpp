#include "application/UsageText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::wstring usageFor(const std::wstring& programName)
{
    std::wostringstream out;
    writeUsage(out, programName);
    return out.str();
}

TEST(UsageText, IsTheTwentyTwoLinesWithTheProgramName)
{
    const std::wstring expected =
        L"\n"
        L"USAGE:\n"
        L"lighting.exe (<r g b br>) [<r g b br>]\n"
        L"    Colors are given as an RGB color value and a brightness.\n"
        L"    RGB values are 0-255, and brightness is 0-100\n"
        L"    each number separated by a space.\n"
        L"    Each four consecutive numbers represents one RGB and brightness value.\n"
        L"    If only one color is given, it is applied to both zones.\n"
        L"    If two colors are given, the first is assigned to the Orvane logo\n"
        L"    and the second to the vertical bar.\n"
        L"    Note: On Orvane VR Veltrin G1 Workstation, only brightness can be set.\n"
        L"    RGB input will be converted to luminosity and combined with brightness.\n"
        L"Examples:\n"
        L"    lighting.exe 10\n"
        L"    lighting.exe 100 0\n"
        L"    lighting.exe 255 255 255 100\n"
        L"    lighting.exe 255 255 255 100 255 255 255 100\n"
        L"    lighting.exe \n"
        L"    lighting.exe default\n"
        L"    lighting.exe -h\n"
        L"\n"
        L"See the Readme for full documentation.\n";
    EXPECT_EQ(usageFor(L"lighting.exe"), expected);
}

TEST(UsageText, EmptyProgramNameLeavesTheSeparatingSpaces)
{
    const std::wstring usage = usageFor(L"");
    EXPECT_NE(usage.find(L"\nUSAGE:\n (<r g b br>) [<r g b br>]\n"), std::wstring::npos);
    EXPECT_NE(usage.find(L"\n     \n"), std::wstring::npos);
}

TEST(UsageText, ShowsNonAsciiProgramNamesUnchanged)
{
    const std::wstring usage = usageFor(L"lumi\u00e8re.exe");
    EXPECT_NE(usage.find(L"\n    lumi\u00e8re.exe 100 0\n"), std::wstring::npos);
}

} // namespace
