// The firmware channel: COM brought up and down around each call, and the
// call's status reduced to accepted or not, with why not.

#include "BiosRecordExpectations.h"
#include "SimulatedMachine.h"
#include "lighting_library/FirmwareChannel.h"
#include "lighting_library/FirmwareFailure.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <wbemcli.h>

#include <optional>
#include <thread>

using KestrineLightingLib::CommandBlock;
using KestrineLightingLib::FirmwareResult;
using KestrineLightingLib::sendToFirmware;
using simulated_machine::SimulatedMachineCase;
using simulated_machine::Step;

namespace {

CommandBlock brightnessBlock()
{
    CommandBlock block{};
    block[0] = 3;
    block[127] = 42;
    return block;
}

} // namespace

// Refusals and failures are not accepted, and say why for the run.
TEST(FirmwareChannel, ReportsRefusalsAndFailuresAsNotAcceptedAndSaysWhy)
{
    {
        SimulatedMachineCase machine;
        machine.returnCode(2);
        const FirmwareResult result = sendToFirmware(5, brightnessBlock());
        EXPECT_FALSE(result.accepted);
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        bios_record::expectFirmwareCall(calls[0], 5, brightnessBlock());
        ASSERT_TRUE(result.failure.has_value());
        EXPECT_EQ(result.failure->returnCode, 2);
        EXPECT_TRUE(result.failure->executed);
    }
    {
        SimulatedMachineCase machine;
        machine.fail(Step::WmiGetClass, WBEM_E_INVALID_CLASS);
        const FirmwareResult result = sendToFirmware(5, brightnessBlock());
        EXPECT_FALSE(result.accepted);
        EXPECT_TRUE(machine.calls().empty());
        ASSERT_TRUE(result.failure.has_value());
        EXPECT_EQ(result.failure->step, "GetObject orvBIntM");
        EXPECT_EQ(result.failure->status, static_cast<HRESULT>(WBEM_E_INVALID_CLASS));
        EXPECT_FALSE(result.failure->returnCode.has_value());
        EXPECT_FALSE(result.failure->executed);
    }
    SimulatedMachineCase machine;
    const FirmwareResult result = sendToFirmware(5, brightnessBlock());
    EXPECT_TRUE(result.accepted);
    EXPECT_FALSE(result.failure.has_value()) << "an accepted command has no failure";
    EXPECT_TRUE(result.zonesGot.empty()) << "the channel does not read the block";
}

TEST(FirmwareChannel, NestsInsideTheCallersSingleThreadedApartment)
{
    SimulatedMachineCase machine;
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_TRUE(sendToFirmware(5, brightnessBlock()).accepted);
    // The caller's apartment is still there: initialising again only counts up.
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(machine.calls().size(), 1u);
    // And once the caller has left it, it is gone: the channel gave back
    // exactly what it took, so another kind of apartment can be entered.
    const HRESULT another = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(another, S_OK);
    if (SUCCEEDED(another)) {
        CoUninitialize();
    }
}

TEST(FirmwareChannel, FailsWithoutACallOnAThreadInTheMultithreadedApartment)
{
    SimulatedMachineCase machine;
    FirmwareResult result{true, std::nullopt, {}};
    HRESULT apartmentAfter = E_FAIL;
    std::thread worker([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
            return;
        }
        result = sendToFirmware(5, brightnessBlock());
        // Still in the multithreaded apartment: the channel did not take it down.
        apartmentAfter = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(apartmentAfter)) {
            CoUninitialize();
        }
        CoUninitialize();
    });
    worker.join();

    EXPECT_FALSE(result.accepted);
    EXPECT_EQ(apartmentAfter, S_FALSE);
    EXPECT_TRUE(machine.calls().empty());
    ASSERT_TRUE(result.failure.has_value());
    EXPECT_EQ(result.failure->step, "CoInitializeEx");
    EXPECT_EQ(result.failure->status, RPC_E_CHANGED_MODE);
    EXPECT_FALSE(result.failure->executed);
}
