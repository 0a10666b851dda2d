#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string usageFor(const std::string& name)
{
    return "\r\n"
           "USAGE:\r\n" +
           name + " (<r g b br>) [<r g b br>]\r\n"
           "    Colors are given as an RGB color value and a brightness.\r\n"
           "    RGB values are 0-255, and brightness is 0-100\r\n"
           "    each number separated by a space.\r\n"
           "    Each four consecutive numbers represents one RGB and brightness value.\r\n"
           "    If only one color is given, it is applied to both zones.\r\n"
           "    If two colors are given, the first is assigned to the Orvane logo\r\n"
           "    and the second to the vertical bar.\r\n"
           "    Note: On Orvane VR Veltrin G1 Workstation, only brightness can be set.\r\n"
           "    RGB input will be converted to luminosity and combined with brightness.\r\n"
           "Examples:\r\n"
           "    " + name + " 10\r\n"
           "    " + name + " 100 0\r\n"
           "    " + name + " 255 255 255 100\r\n"
           "    " + name + " 255 255 255 100 255 255 255 100\r\n"
           "    " + name + " \r\n"
           "    " + name + " default\r\n"
           "    " + name + " -h\r\n"
           "\r\n"
           "See the Readme for full documentation.\r\n";
}

// Runs the program on the simulated machine (second generation unless the
// test says otherwise), invoked under the name argument0.
ProgramResult run(std::vector<std::wstring> arguments, std::wstring argument0 = L"C:\\Tools\\lighting.exe")
{
    return runProgram({besideTestProgram(L"VeltrinLighting.exe"), std::move(arguments), std::move(argument0), {}});
}

class ProgramOutput : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", nullptr); }
    void TearDown() override { SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", nullptr); }
};

TEST_F(ProgramOutput, HelpPrintsTheUsageWithTheNameAsInvoked)
{
    for (const wchar_t* keyword : {L"help", L"-h", L"/?"}) {
        const ProgramResult result = run({keyword});
        EXPECT_EQ(result.output, usageFor("lighting.exe"));
        EXPECT_EQ(result.exitCode, 0u);
    }
}

TEST_F(ProgramOutput, InvalidArgumentsAreReportedAroundTheUsage)
{
    const ProgramResult result = run({L"1", L"2", L"3"}, L"lighting");
    EXPECT_EQ(result.output, "Invalid arguments\r\n" + usageFor("lighting") + "Request Failed\r\n");
    EXPECT_EQ(result.exitCode, 0u);
}

TEST_F(ProgramOutput, UnsupportedMachineAnswersEveryRequestTheSameWay)
{
    SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", L"Wine");
    for (const auto& arguments : std::vector<std::vector<std::wstring>>{{L"help"}, {}, {L"x"}, {L"50"}}) {
        const ProgramResult result = run(arguments);
        EXPECT_EQ(result.output, "\r\nThis hardware is not compatible.\r\n" + usageFor("lighting.exe"));
        EXPECT_EQ(result.exitCode, 0u);
    }
}

TEST_F(ProgramOutput, NonAsciiProgramNamePrintsAsUtf8WhenRedirected)
{
    const fs::path directory = fs::temp_directory_path() / L"veltrin-name-test";
    fs::create_directories(directory);
    const fs::path copy = directory / L"lumi\u00e8re.exe";
    fs::copy_file(besideTestProgram(L"VeltrinLighting.exe"), copy, fs::copy_options::overwrite_existing);

    const ProgramResult result = runProgram({copy.wstring(), {L"help"}, {}, {}});
    EXPECT_EQ(result.output, usageFor("lumi\xC3\xA8re.exe"));

    fs::remove_all(directory);
}

} // namespace
