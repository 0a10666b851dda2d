#include "application/RequestTable.h"

#include "windows_wrappers/ConsoleOutput.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

namespace {

// What each kind of request does, row by row: only a restore waits, only
// the four lighting requests change the lighting and are recorded, and only
// status goes without the machine.
TEST(RequestTable, SaysWhatEachKindDoes)
{
    struct Row {
        RequestKind kind;
        bool needsMachine;
        bool changesLighting;
        bool waitsForFirmware;
        std::optional<RunRequest> recordedAs;
        RunPurpose purpose;
    };
    const Row rows[] = {
        {RequestKind::Restore, true, true, true, RunRequest::Restore, RunPurpose::Restore},
        {RequestKind::Colors, true, true, false, RunRequest::Colours, RunPurpose::ChangeLighting},
        {RequestKind::Brightness, true, true, false, RunRequest::Brightness, RunPurpose::ChangeLighting},
        {RequestKind::Default, true, true, false, RunRequest::Default, RunPurpose::ChangeLighting},
        {RequestKind::Help, true, false, false, std::nullopt, RunPurpose::Other},
        {RequestKind::Invalid, true, false, false, std::nullopt, RunPurpose::Other},
        {RequestKind::CreateTaskFile, true, false, false, std::nullopt, RunPurpose::Other},
        {RequestKind::Status, false, false, false, std::nullopt, RunPurpose::Other},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.kind));
        const RequestFacts facts = requestFacts(row.kind);
        EXPECT_EQ(facts.needsMachine, row.needsMachine);
        EXPECT_EQ(facts.changesLighting, row.changesLighting);
        EXPECT_EQ(facts.waitsForFirmware, row.waitsForFirmware);
        EXPECT_EQ(facts.recordedAs, row.recordedAs);
        EXPECT_EQ(facts.purpose, row.purpose);
    }
}

// The requests answered without the firmware say so on the console once:
// "Request Failed" ends every failed answer, and only a failed one.
TEST(RequestTable, AnswersWithoutTheFirmware)
{
    struct Row {
        const char* name;
        RequestKind kind;
        bool taskFileWritten;
        bool answered;
        std::wstring output;
    };
    const std::wstring usageStart = L"\nUSAGE:";
    const Row rows[] = {
        {"help", RequestKind::Help, false, true, usageStart},
        {"invalid", RequestKind::Invalid, false, false, L"Invalid arguments\n" + usageStart},
        {"task file written", RequestKind::CreateTaskFile, true, true, L"Startup task file written: t.xml\n"},
        {"task file not written", RequestKind::CreateTaskFile, false, false,
         L"Could not write the startup task file: t.xml\nRequest Failed\n"},
        {"a lighting request", RequestKind::Colors, false, false, L"Request Failed\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Request request;
        request.kind = row.kind;
        request.programName = L"VeltrinLighting.exe";
        request.taskFile = L"t.xml";
        request.taskFileWritten = row.taskFileWritten;
        // The console's stream, with its own buffer set up first, writes into
        // out while the request is answered.
        std::wostringstream out;
        std::wstreambuf* const standard = console().rdbuf(out.rdbuf());
        const bool answered = answerWithoutFirmware(request);
        console().rdbuf(standard);
        EXPECT_EQ(answered, row.answered);
        const std::wstring text = out.str();
        EXPECT_EQ(text.substr(0, row.output.size()), row.output);
        const std::size_t failed = text.find(L"Request Failed");
        EXPECT_EQ(failed != std::wstring::npos, !row.answered);
        if (failed != std::wstring::npos) {
            EXPECT_EQ(text.find(L"Request Failed", failed + 1), std::wstring::npos) << "said once";
        }
    }
}

// Where the colours come from: the command line and the defaults name
// themselves; a restore or brightness request reads the policy in force, or
// the key it reads.
TEST(RequestTable, SourceOfTheColours)
{
    ColourPolicy inForce;
    inForce.state = PolicyState::InForce;
    const ColourPolicy none;
    EXPECT_EQ(requestSource(RequestKind::Colors, inForce, StoredRoot::Machine), ColourSource::CommandLine);
    EXPECT_EQ(requestSource(RequestKind::Default, inForce, StoredRoot::Machine), ColourSource::ModelDefaults);
    EXPECT_EQ(requestSource(RequestKind::Restore, inForce, StoredRoot::Machine), ColourSource::Policy);
    EXPECT_EQ(requestSource(RequestKind::Brightness, none, StoredRoot::User), ColourSource::UserKey);
    EXPECT_EQ(requestSource(RequestKind::Restore, none, StoredRoot::None), ColourSource::ModelDefaults);
}

} // namespace
