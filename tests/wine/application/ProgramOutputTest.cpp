#include "ExpectedUsage.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

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
        EXPECT_EQ(result.output, expectedUsage("lighting.exe"));
        EXPECT_EQ(result.exitCode, 0u);
    }
}

TEST_F(ProgramOutput, InvalidArgumentsAreReportedAroundTheUsage)
{
    const ProgramResult result = run({L"1", L"2", L"3"}, L"lighting");
    EXPECT_EQ(result.output, "Invalid arguments\r\n" + expectedUsage("lighting") + "Request Failed\r\n");
    EXPECT_EQ(result.exitCode, 0u);
}

TEST_F(ProgramOutput, UnsupportedMachineAnswersEveryRequestTheSameWay)
{
    SetEnvironmentVariableW(L"VELTRIN_SIM_MODEL", L"Wine");
    for (const auto& arguments : std::vector<std::vector<std::wstring>>{{L"help"}, {}, {L"x"}, {L"50"}}) {
        const ProgramResult result = run(arguments);
        EXPECT_EQ(result.output, "\r\nThis hardware is not compatible.\r\n" + expectedUsage("lighting.exe"));
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
    EXPECT_EQ(result.output, expectedUsage("lumi\xC3\xA8re.exe"));

    fs::remove_all(directory);
}

} // namespace
