#include "RegistryLinks.h"
#include "Json.h"
#include "ProgramOnMachine.h"
#include "run_record/LastRun.h"
#include "settings/RegistryKey.h"
#include "settings/StoredColors.h"

#include <sddl.h>

#include <gmock/gmock.h>

#include <atomic>
#include <functional>
#include <thread>

using simulated_machine::JsonValue;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const wchar_t* const recordKey = L"SOFTWARE\\Orvane\\VeltrinLightingLastRun";
const wchar_t* const oldRecordKey = L"SOFTWARE\\Orvane\\VeltrinLighting\\LastRun";
const wchar_t* const policyKey = L"SOFTWARE\\Policies\\Orvane\\VeltrinLighting";
const wchar_t* const recordSddl = L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KR;;;WD)";
const std::vector<std::uint32_t> policyColours = {0, 0, 255, 100, 0, 255, 0, 50};

// The key at path holding the record's values (and fillers values of no
// meaning), with the descriptor sddl.
void plantRecord(const wchar_t* path, const wchar_t* sddl, const LastRun& record, int fillers = 0)
{
    RegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0,
                              KEY_SET_VALUE | WRITE_DAC | WRITE_OWNER | KEY_WOW64_64KEY, nullptr, key.receive(),
                              nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR raw = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, raw), ERROR_SUCCESS);
    LocalFree(raw);
    for (const RecordValue& value : encodeLastRun(record)) {
        RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    }
    for (int i = 0; i < fillers; ++i) {
        const std::wstring name = L"Filler" + std::to_wstring(i);
        const DWORD data = 0;
        RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
    }
}

LastRun forgedRecord()
{
    LastRun record;
    record.time = L"2000-01-01T00:00:00Z";
    record.account = L"S-1-5-18";
    record.outcome = RunOutcome::Done;
    return record;
}

void setPolicy()
{
    RegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, policyKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              key.receive(), nullptr),
              ERROR_SUCCESS);
    for (std::size_t i = 0; i < policyColours.size(); ++i) {
        const DWORD data = policyColours[i];
        RegSetValueExW(key.get(), valueNames[i].data(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof(data));
    }
    const DWORD usersMayChange = 1;
    RegSetValueExW(key.get(), L"UsersMayChange", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&usersMayChange),
                   sizeof(usersMayChange));
}

// The names of the values in the key at path (followed as any program
// would); nothing when it does not exist.
std::vector<std::wstring> valueNamesIn(const wchar_t* path)
{
    std::vector<std::wstring> names;
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive()) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0; index < 100; ++index) {
        std::array<wchar_t, 256> name{};
        auto length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::wstring stringValue(const wchar_t* path, const wchar_t* name)
{
    std::array<wchar_t, 256> text{};
    auto size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, path, name, RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, text.data(), &size)
        != ERROR_SUCCESS) {
        return {};
    }
    return text.data();
}

std::vector<std::wstring> problemsIn(const JsonValue& status)
{
    std::vector<std::wstring> problems;
    for (const JsonValue& code : status.at("problems").array()) {
        problems.push_back(code.string());
    }
    return problems;
}

class RecordKey : public ProgramOnMachine {
protected:
    void SetUp() override
    {
        ProgramOnMachine::SetUp();
        clearLinksAndPolicy();
    }
    void TearDown() override
    {
        clearLinksAndPolicy();
        ProgramOnMachine::TearDown();
    }
    // Links first: deleting a tree through a link would delete its target.
    static void clearLinksAndPolicy()
    {
        deleteKeyItself(oldRecordKey);
        deleteKeyItself(recordKey);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, policyKey, KEY_WOW64_64KEY, 0);
    }
};

const std::vector<std::wstring> policyValueNames = {L"Z1_Red",   L"Z1_Green", L"Z1_Blue",   L"Z1_Bright",     L"Z2_Red",
                                                    L"Z2_Green", L"Z2_Blue",  L"Z2_Bright", L"UsersMayChange"};

// A record key that is a link, or whose access list lets others change it,
// is neither written nor shown as the machine's: status says why and lists
// recordUntrusted. A link where the record used to lie (below the colours
// key) is ignored. The policy key a link leads to keeps what it held.
TEST_F(RecordKey, ALinkOrAKeyOthersMayChangeIsNeitherWrittenNorShown)
{
    struct Case {
        const char* name;
        std::function<void()> plant;
        // The reason status gives; empty: the run's record is shown.
        std::wstring distrust;
    };
    const Case cases[] = {
        {"the old LastRun a link to the policy key", [] { plantLink(oldRecordKey, policyKey); }, L""},
        {"the record key a link to the policy key", [] { plantLink(recordKey, policyKey); }, L"it is a registry link"},
        {"the record key with an entry for Users",
         [] { plantRecord(recordKey, L"O:BAD:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KA;;;BU)", forgedRecord()); },
         L"its access list lets an account other than LocalSystem and Administrators change it"},
        {"the record key owned by Users with entries from above",
         [] { plantRecord(recordKey, L"O:BUD:(A;CI;KA;;;SY)(A;CI;KA;;;BA)", forgedRecord()); },
         L"it is owned by an account other than LocalSystem and Administrators"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearLinksAndPolicy();
        clearStoredColors();
        storeValues({255, 0, 0, 100, 255, 0, 0, 100});
        setPolicy();
        c.plant();

        EXPECT_EQ(run({L"1", L"2", L"3", L"4"}).output, "");
        EXPECT_THAT(valueNamesIn(policyKey), ::testing::UnorderedElementsAreArray(policyValueNames))
            << "the policy key holds its values and no record";
        const std::string json = run({L"status", L"--json"}).output;
        JsonValue status;
        ASSERT_NO_THROW(status = simulated_machine::parseJson(json)) << json;
        EXPECT_EQ(status.at("policy").at("state").string(), L"inForce");
        const JsonValue machineKey = status.at("machineKey");
        const std::string lines = run({L"status"}).output;
        if (c.distrust.empty()) {
            EXPECT_EQ(machineKey.at("lastRun").at("request").string(), L"colours");
            EXPECT_TRUE(machineKey.at("lastRunUntrusted").isNull());
            EXPECT_THAT(problemsIn(status), Not(Contains(L"recordUntrusted")));
            continue;
        }
        EXPECT_TRUE(machineKey.at("lastRun").isNull());
        EXPECT_EQ(machineKey.at("lastRunUntrusted").string(), c.distrust);
        EXPECT_THAT(problemsIn(status), Contains(L"recordUntrusted"));
        EXPECT_THAT(lines, HasSubstr("Last run recorded in the machine key: not shown, its key is not trusted: "));
        if (c.distrust != L"it is a registry link") {
            EXPECT_EQ(stringValue(recordKey, L"Time"), L"2000-01-01T00:00:00Z") << "the forged record was not written";
            EXPECT_EQ(stringValue(recordKey, L"Request"), L"restore");
        }
    }
}

// A run sets the record's values in place: the key keeps its descriptor,
// and a value the new record lacks goes.
TEST_F(RecordKey, ARunSetsTheValuesInPlace)
{
    LastRun failed = forgedRecord();
    failed.outcome = RunOutcome::FirmwareCallFailed;
    failed.eventId = 4;
    failed.step = L"GetObject";
    failed.code = 0x80041002;
    plantRecord(recordKey, recordSddl, failed);
    EXPECT_EQ(run({L"1", L"2", L"3", L"4"}).output, "");
    const std::vector<std::wstring> names = valueNamesIn(recordKey);
    EXPECT_THAT(names, Contains(L"LogoBytes"));
    EXPECT_THAT(names, Not(Contains(L"Step")));
    EXPECT_THAT(names, Not(Contains(L"EventId")));
    EXPECT_THAT(names, Not(Contains(L"Code")));
    EXPECT_EQ(stringValue(recordKey, L"Outcome"), L"done");
    const JsonValue status = simulated_machine::parseJson(run({L"status", L"--json"}).output);
    EXPECT_EQ(status.at("machineKey").at("lastRun").at("request").string(), L"colours");
}

// Runs status --json with its output discarded; false when it has not ended
// within the time given (it is then ended, by its own handle).
bool statusEnds(const std::wstring& environment, DWORD milliseconds)
{
    std::wstring line = quoteArgument(besideTestProgram(L"VeltrinLighting.exe")) + L" status --json";
    std::wstring block = environment;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW,
                        block.data(), nullptr, &startup, &info)) {
        ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
        return true;
    }
    CloseHandle(info.hThread);
    const bool ended = WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, INFINITE);
    }
    CloseHandle(info.hProcess);
    return ended;
}

// status ends while another process deletes the record key and makes it
// again as fast as it can (a deleted key answers ERROR_KEY_DELETED for every
// index of its values). The record carries values of no meaning, so that
// reading it takes long enough for a deletion to fall in its midst.
TEST_F(RecordKey, StatusEndsWhileTheRecordIsDeletedAndMadeAgain)
{
    LastRun record = forgedRecord();
    record.eventId = 4;
    record.step = L"GetObject";
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        while (!stop) {
            deleteKeyItself(recordKey);
            plantRecord(recordKey, recordSddl, record, 40);
        }
    });
    int hung = 0;
    for (int i = 0; i < 20; ++i) {
        hung += statusEnds(machine.environmentBlock(), 15000) ? 0 : 1;
    }
    stop = true;
    churn.join();
    EXPECT_EQ(hung, 0);
}

// A record's texts reach the console quoted and escaped: a carriage return,
// line feed or escape sequence in Step forges no line and moves no cursor.
TEST_F(RecordKey, ControlCharactersInTheRecordReachTheConsoleEscaped)
{
    LastRun record = forgedRecord();
    record.outcome = RunOutcome::FirmwareCallFailed;
    record.eventId = 4;
    record.step = L"GetObject\r\nStartup task: registered, enabled\x1b[2J";
    record.code = 0x80041002;
    plantRecord(recordKey, recordSddl, record);
    const std::string lines = run({L"status"}).output;
    EXPECT_EQ(lines.find('\x1b'), std::string::npos);
    EXPECT_EQ(lines.find("\nStartup task: registered"), std::string::npos) << lines;
    EXPECT_THAT(lines,
                HasSubstr("(event 4, \"GetObject\\u000d\\u000aStartup task: registered, enabled\\u001b[2J\", "
                          "code 0x80041002)"));
    const JsonValue status = simulated_machine::parseJson(run({L"status", L"--json"}).output);
    EXPECT_EQ(status.at("machineKey").at("lastRun").at("step").string(), record.step);
}

} // namespace
