#include "ProgramOnMachine.h"

#include <gmock/gmock.h>

using simulated_machine::Step;
using ::testing::SizeIs;

namespace {

const std::vector<std::wstring> workedExample = {L"255", L"0", L"0", L"100", L"0", L"0", L"255", L"50"};

using EndToEnd = ProgramOnMachine;

TEST_F(EndToEnd, TwoColoursOnTheSecondGeneration)
{
    const ProgramResult result = run(workedExample);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(result.exitCode, 0u);

    const auto calls = machine.calls();
    ASSERT_THAT(calls, SizeIs(1));
    expectColorCommand(calls[0], {255, 0, 0, 0, 0, 127});
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 100, 0, 0, 255, 50}));
}

TEST_F(EndToEnd, OneColourGoesToBothZones)
{
    EXPECT_EQ(run({L"10", L"20", L"30", L"50"}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {5, 10, 15, 5, 10, 15});
    EXPECT_EQ(storedValues(), stored({10, 20, 30, 50, 10, 20, 30, 50}));
}

TEST_F(EndToEnd, FirstGenerationSendsLuminosityInTheGreenByte)
{
    machine.model(L"Orvane VR Veltrin G1 Workstation");
    EXPECT_EQ(run({L"255", L"0", L"0", L"100", L"255", L"255", L"255", L"50"}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {255, 53, 0, 127, 127, 127});
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 100, 255, 255, 255, 50}));
}

TEST_F(EndToEnd, DefaultOnTheFirstGenerationSetsFullBrightnessThenWhite)
{
    machine.model(L"Orvane VR Veltrin G1 Workstation");
    EXPECT_EQ(run({L"default"}).output, "");
    const auto calls = machine.calls();
    ASSERT_THAT(calls, SizeIs(2));
    expectBrightnessCommand(calls[0], 100);
    expectColorCommand(calls[1], {255, 254, 255, 255, 254, 255});
    EXPECT_EQ(storedValues(), stored({255, 255, 255, 100, 255, 255, 255, 100}));
}

TEST_F(EndToEnd, DefaultOnTheSecondGenerationSendsItsTints)
{
    storeValues({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(run({L"default"}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {230, 255, 255, 210, 200, 230});
    EXPECT_EQ(storedValues(), stored({230, 255, 255, 100, 210, 200, 230, 100}));
}

TEST_F(EndToEnd, RestoreWithoutStoredColoursAppliesAndStoresTheDefaults)
{
    EXPECT_EQ(run({}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {230, 255, 255, 210, 200, 230});
    EXPECT_EQ(storedValues(), stored({230, 255, 255, 100, 210, 200, 230, 100}));
}

TEST_F(EndToEnd, RestoreAppliesTheStoredColoursAndWritesThemBack)
{
    storeValues({200, 100, 50, 29, 0, 0, 0, 0});
    EXPECT_EQ(run({}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {57, 28, 14, 0, 0, 0});
    EXPECT_EQ(storedValues(), stored({200, 100, 50, 29, 0, 0, 0, 0}));
}

TEST_F(EndToEnd, ColoursSetByOneRunAreRestoredByTheNext)
{
    run(workedExample);
    run({});
    const auto calls = machine.calls();
    ASSERT_THAT(calls, SizeIs(2));
    expectColorCommand(calls[1], {255, 0, 0, 0, 0, 127});
}

TEST_F(EndToEnd, StoredValuesAboveTheirRangeSaturate)
{
    storeValues({300, 0, 0, 200, 0, 256, 0, 100});
    EXPECT_EQ(run({}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {255, 0, 0, 0, 255, 0});
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 100, 0, 255, 0, 100}));
}

TEST_F(EndToEnd, BrightnessAloneKeepsTheStoredColours)
{
    storeValues({255, 0, 0, 80, 0, 255, 0, 60});
    EXPECT_EQ(run({L"10"}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {25, 0, 0, 0, 25, 0});
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 10, 0, 255, 0, 10}));
}

TEST_F(EndToEnd, TwoBrightnessValuesSetOneZoneEach)
{
    storeValues({255, 0, 0, 80, 0, 255, 0, 60});
    EXPECT_EQ(run({L"100", L"0"}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {255, 0, 0, 0, 0, 0});
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 100, 0, 255, 0, 0}));
}

TEST_F(EndToEnd, BrightnessWithoutStoredColoursScalesTheDefaults)
{
    EXPECT_EQ(run({L"10"}).output, "");
    ASSERT_THAT(machine.calls(), SizeIs(1));
    expectColorCommand(machine.calls()[0], {23, 25, 25, 21, 20, 23});
    EXPECT_EQ(storedValues(), stored({230, 255, 255, 10, 210, 200, 230, 10}));
}

TEST_F(EndToEnd, RefusedCommandIsReportedAndTheColoursAreStoredAnyway)
{
    machine.returnCode(1);
    EXPECT_EQ(run(workedExample).output, "Request Failed\r\n");
    EXPECT_THAT(machine.calls(), SizeIs(1));
    EXPECT_EQ(storedValues(), stored({255, 0, 0, 100, 0, 0, 255, 50}));
}

TEST_F(EndToEnd, MachineWithoutTheFirmwareInterfaceFailsTheRequest)
{
    machine.fail(Step::WmiGetClass, WBEM_E_NOT_FOUND);
    const ProgramResult result = run({L"50"});
    EXPECT_EQ(result.output, "Request Failed\r\n");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_THAT(machine.calls(), SizeIs(0));
    EXPECT_EQ(storedValues(), stored({230, 255, 255, 50, 210, 200, 230, 50}));
}

TEST_F(EndToEnd, FailedDefaultIsReportedAndTheDefaultsAreStored)
{
    machine.model(L"Orvane VR Veltrin G1 Workstation").fail(Step::WmiExec, WBEM_E_FAILED);
    EXPECT_EQ(run({L"default"}).output, "Request Failed\r\n");
    EXPECT_THAT(machine.calls(), SizeIs(2)) << "the colour command is sent after a failed brightness command";
    EXPECT_EQ(storedValues(), stored({255, 255, 255, 100, 255, 255, 255, 100}));
}

TEST_F(EndToEnd, HelpPrintsTheUsageAndTouchesNothing)
{
    const ProgramResult result = run({L"help"});
    EXPECT_EQ(result.output, usageText());
    EXPECT_THAT(machine.calls(), SizeIs(0));
    EXPECT_EQ(storedValues(), nothingStored());
}

TEST_F(EndToEnd, InvalidArgumentsSendAndStoreNothing)
{
    const ProgramResult result = run({L"255", L"255", L"255", L"101"});
    EXPECT_EQ(result.output, "Invalid arguments\r\n" + usageText() + "Request Failed\r\n");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_THAT(machine.calls(), SizeIs(0));
    EXPECT_EQ(storedValues(), nothingStored());
}

} // namespace
