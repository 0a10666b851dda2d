// The firmware channel: COM brought up and down around each call, and the
// call's status reduced to accepted or not.

#include "BiosRecordExpectations.h"
#include "SimulatedMachine.h"
#include "lighting_library/FirmwareChannel.h"
#include "lighting_library/FirmwareFailure.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <wbemcli.h>

#include <thread>

using KestrineLightingLib::CommandBlock;
using KestrineLightingLib::sendToFirmware;
using KestrineLightingLib::takeFirmwareFailure;
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

// Refusals and failures are not accepted, and leave a note of why for the run.
TEST(FirmwareChannel, ReportsRefusalsAndFailuresAsNotAcceptedAndNotesWhy)
{
    {
        SimulatedMachineCase machine;
        machine.returnCode(2);
        EXPECT_FALSE(sendToFirmware(5, brightnessBlock()));
        const auto calls = machine.calls();
        ASSERT_EQ(calls.size(), 1u);
        bios_record::expectFirmwareCall(calls[0], 5, brightnessBlock());
        const auto note = takeFirmwareFailure();
        ASSERT_TRUE(note.has_value());
        EXPECT_EQ(note->returnCode, 2);
    }
    {
        SimulatedMachineCase machine;
        machine.fail(Step::WmiGetClass, WBEM_E_INVALID_CLASS);
        EXPECT_FALSE(sendToFirmware(5, brightnessBlock()));
        EXPECT_TRUE(machine.calls().empty());
        const auto note = takeFirmwareFailure();
        ASSERT_TRUE(note.has_value());
        EXPECT_EQ(note->step, "GetObject orvBIntM");
        EXPECT_EQ(note->status, static_cast<HRESULT>(WBEM_E_INVALID_CLASS));
        EXPECT_FALSE(note->returnCode.has_value());
    }
    EXPECT_FALSE(takeFirmwareFailure().has_value()) << "a note is taken once";
    SimulatedMachineCase machine;
    EXPECT_TRUE(sendToFirmware(5, brightnessBlock()));
    EXPECT_FALSE(takeFirmwareFailure().has_value()) << "an accepted command leaves no note";
}

TEST(FirmwareChannel, NestsInsideTheCallersSingleThreadedApartment)
{
    SimulatedMachineCase machine;
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_TRUE(sendToFirmware(5, brightnessBlock()));
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
    bool accepted = true;
    HRESULT apartmentAfter = E_FAIL;
    std::thread worker([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
            return;
        }
        accepted = sendToFirmware(5, brightnessBlock());
        // Still in the multithreaded apartment: the channel did not take it down.
        apartmentAfter = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(apartmentAfter)) {
            CoUninitialize();
        }
        CoUninitialize();
    });
    worker.join();

    EXPECT_FALSE(accepted);
    EXPECT_EQ(apartmentAfter, S_FALSE);
    EXPECT_TRUE(machine.calls().empty());
    const auto note = takeFirmwareFailure();
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->step, "CoInitializeEx");
    EXPECT_EQ(note->status, RPC_E_CHANGED_MODE);
}
