// The record reader is strict: a torn or altered line is an error, not a
// call with missing parts.
#include "SimulatedMachine.h"
#include "WmiClient.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace simulated_machine;
using namespace simulated_machine::testing;

namespace {

std::string readFile(const std::filesystem::path& file)
{
    std::ifstream input(file, std::ios::binary);
    std::ostringstream content;
    content << input.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path& file, const std::string& content)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
}

TEST(RecordReaderTest, RejectsDamagedLines)
{
    const ComApartment apartment;
    SimulatedMachineCase machine;
    ASSERT_EQ(callFirmware().failedStep, "");
    const std::string line = readFile(machine.recordFile());
    ASSERT_EQ(line.back(), '\n');
    EXPECT_NO_THROW(parseRecordLine(line));

    const std::string body = line.substr(0, line.size() - 1);
    const std::pair<const char*, std::string> damaged[] = {
        {"cut short", body.substr(0, body.size() / 2)},
        {"trailing text", body + "x"},
        {"member missing", "{" + body.substr(body.find(',') + 1)},
        {"number as text", [&] {
             std::string altered = body;
             altered.replace(altered.find("\"flags\":0"), 9, "\"flags\":\"0\"");
             return altered;
         }()},
        {"duplicate member", "{\"flags\":0," + body.substr(1)},
    };
    for (const auto& [name, text] : damaged) {
        SCOPED_TRACE(name);
        EXPECT_THROW(parseRecordLine(text), std::runtime_error);
    }

    // A last line without its newline was not written whole.
    writeFile(machine.recordFile(), line + body);
    EXPECT_THROW(machine.calls(), std::runtime_error);
    writeFile(machine.recordFile(), line + line);
    EXPECT_EQ(machine.calls().size(), 2u);
}

TEST(RecordReaderTest, NoCallMeansNoLine)
{
    const ComApartment apartment;
    SimulatedMachineCase machine;
    EXPECT_EQ(queryModel().failedStep, "");
    EXPECT_TRUE(machine.calls().empty());
    EXPECT_TRUE(readFile(machine.recordFile()).empty());
}

} // namespace
