// One firmware call through real COM to the simulated machine, status by status.

#include "BiosRecordExpectations.h"
#include "SimulatedMachine.h"
#include "lighting_library/OrvaneWMIClassA.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <wbemcli.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

using KestrineLightingLib::CommandBlock;
using KestrineLightingLib::FirmwareFailure;
using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;

namespace {

constexpr HRESULT status(WBEMSTATUS wbem)
{
    return static_cast<HRESULT>(wbem);
}

// A block whose bytes all differ from their neighbours, zeros included.
CommandBlock patternBlock()
{
    CommandBlock block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>(i * 37);
    }
    return block;
}

class BiosMethodCall : public testing::Test {
protected:
    // The caller of OrvaneWMIClassA holds the apartment.
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    HRESULT call(std::int32_t commandType, const CommandBlock& block)
    {
        OrvaneWMIClassA bios;
        return bios.callBiosMethod(commandType, block, answer);
    }

    std::optional<FirmwareFailure> callReporting(std::int32_t commandType, const CommandBlock& block)
    {
        OrvaneWMIClassA bios;
        return bios.callBiosMethodReporting(commandType, block, answer);
    }

    CommandBlock answer{};
};

} // namespace

TEST_F(BiosMethodCall, SendsTheWholeRequestRecordToTheFirmwareInstance)
{
    SimulatedMachineCase machine;
    answer.fill(0xAA);
    const CommandBlock block = patternBlock();

    EXPECT_FALSE(callReporting(5, block).has_value());

    const auto calls = machine.calls();
    ASSERT_EQ(calls.size(), 1u);
    bios_record::expectFirmwareCall(calls[0], 5, block);
    EXPECT_EQ(calls[0].result, S_OK);
    EXPECT_EQ(answer, CommandBlock{}) << "the output area is cleared and nothing else is written into it";
}

// The call names the step that failed, or the firmware's return code, for
// the event that tells an administrator what went wrong, and says whether the
// command reached the firmware, which a restore must not send again.
TEST_F(BiosMethodCall, EachFailingStepEndsTheCallWithItsStatusAndIsNamed)
{
    struct Case {
        const char* name;
        std::function<void(SimulatedMachineCase&)> configure;
        HRESULT expected;
        // Whether the simulated machine recorded the call: ExecMethod was made.
        bool recorded;
        // The step the call names, or the return code with which the firmware refused.
        std::string named;
        // Whether ExecMethod went through, as the failure says.
        bool executed;
    };
    const HRESULT mismatch = status(WBEM_E_TYPE_MISMATCH);
    const Case cases[] = {
        {"creating the administrative locator",
         [](auto& m) { m.fail(Step::WmiLocator, REGDB_E_CLASSNOTREG); }, REGDB_E_CLASSNOTREG, false,
         "CoCreateInstance WbemAdministrativeLocator", false},
        {"connecting to root\\wmi",
         [](auto& m) { m.fail(Step::WmiConnect, status(WBEM_E_INVALID_NAMESPACE)); },
         status(WBEM_E_INVALID_NAMESPACE), false, "ConnectServer root\\wmi", false},
        {"no firmware class", [](auto& m) { m.fail(Step::WmiGetClass, status(WBEM_E_INVALID_CLASS)); },
         status(WBEM_E_INVALID_CLASS), false, "GetObject orvBIntM", false},
        {"enumerating the firmware instances",
         [](auto& m) { m.fail(Step::WmiEnum, status(WBEM_E_ACCESS_DENIED)); }, status(WBEM_E_ACCESS_DENIED),
         false, "CreateInstanceEnum orvBIntM", false},
        {"no firmware instance", [](auto& m) { m.wmiNoInstance(); }, status(WBEM_E_NOT_FOUND), false,
         "Next orvBIntM (no instance)", false},
        {"putting Sign", [=](auto& m) { m.failPut(L"Sign", mismatch); }, mismatch, false, "Put Sign", false},
        {"putting Command", [=](auto& m) { m.failPut(L"Command", mismatch); }, mismatch, false, "Put Command", false},
        {"putting CommandType", [](auto& m) { m.failPut(L"CommandType", E_OUTOFMEMORY); }, E_OUTOFMEMORY, false,
         "Put CommandType", false},
        {"putting Size", [=](auto& m) { m.failPut(L"Size", mismatch); }, mismatch, false, "Put Size", false},
        {"putting orvBData", [](auto& m) { m.failPut(L"orvBData", E_OUTOFMEMORY); }, E_OUTOFMEMORY, false,
         "Put orvBData", false},
        {"putting InData", [=](auto& m) { m.failPut(L"InData", mismatch); }, mismatch, false, "Put InData", false},
        {"executing the method", [](auto& m) { m.fail(Step::WmiExec, status(WBEM_E_PROVIDER_FAILURE)); },
         status(WBEM_E_PROVIDER_FAILURE), true, "ExecMethod orvBIOSInt0", false},
        {"firmware return code 1", [](auto& m) { m.returnCode(1); }, status(WBEM_E_FAILED), true, "return code 1", true},
        {"firmware return code -1", [](auto& m) { m.returnCode(-1); }, status(WBEM_E_FAILED), true, "return code -1", true},
        {"reading the answer", [](auto& m) { m.fail(Step::WmiOutData, RPC_E_DISCONNECTED); }, RPC_E_DISCONNECTED,
         true, "Get OutData", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            SimulatedMachineCase machine;
            c.configure(machine);
            const std::optional<FirmwareFailure> failure = callReporting(3, patternBlock());
            EXPECT_EQ(machine.calls().size(), c.recorded ? 1u : 0u);
            ASSERT_TRUE(failure.has_value());
            EXPECT_EQ(failure->returnCode ? "return code " + std::to_string(*failure->returnCode) : failure->step,
                      c.named);
            EXPECT_EQ(failure->status, c.expected);
            EXPECT_EQ(failure->executed, c.executed);
        }
        SimulatedMachineCase machine;
        c.configure(machine);
        EXPECT_EQ(call(3, patternBlock()), c.expected) << "callBiosMethod answers with the failure's status";
    }
}

TEST_F(BiosMethodCall, SucceedsWhereOnlyTheModelQueryWouldFailOrNoReturnCodeComesBack)
{
    struct Case {
        const char* name;
        std::function<void(SimulatedMachineCase&)> configure;
    };
    const Case cases[] = {
        {"no return code", [](auto& m) { m.noReturnCode(); }},
        {"return code 0", [](auto& m) { m.returnCode(0); }},
        {"plain locator broken", [](auto& m) { m.fail(Step::Cimv2Locator, REGDB_E_CLASSNOTREG); }},
        {"root\\cimv2 unreachable", [](auto& m) { m.fail(Step::Cimv2Connect, status(WBEM_E_INVALID_NAMESPACE)); }},
        {"model enumeration broken", [](auto& m) { m.fail(Step::Cimv2Enum, status(WBEM_E_FAILED)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedMachineCase machine;
        c.configure(machine);

        EXPECT_EQ(call(3, patternBlock()), S_OK);
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        bios_record::expectFirmwareCall(calls[0], 3, patternBlock());
    }
}

// Each call connects anew and keeps nothing of the one before: a second call
// on the same object meets the connection as it is now.
TEST_F(BiosMethodCall, EachCallOfOneObjectConnectsAnew)
{
    SimulatedMachineCase machine;
    OrvaneWMIClassA bios;
    EXPECT_FALSE(bios.callBiosMethodReporting(5, patternBlock(), answer).has_value());
    machine.fail(Step::WmiConnect, status(WBEM_E_INVALID_NAMESPACE));
    const std::optional<FirmwareFailure> failure = bios.callBiosMethodReporting(5, patternBlock(), answer);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->step, "ConnectServer root\\wmi");
    EXPECT_EQ(machine.calls().size(), 1u);
}
