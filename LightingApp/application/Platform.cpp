#include "application/Platform.h"

#include "application/Messages.h"
#include "application/RequestLock.h"
#include "application/RequestTable.h"
#include "application/UsageText.h"
#include "platform_check/GenerationDetection.h"
#include "platform_check/ModelGeneration.h"
#include "policy/PolicyKey.h"
#include "windows_wrappers/ConsoleOutput.h"
#include "windows_wrappers/Utf8.h"

#include <chrono>
#include <optional>

Platform::Platform()
    : machineModel(readMachineModel()), colorizer(colorizerFactory.createColorizer(generationForModel(machineModel)))
{}

Platform::~Platform() = default;

bool Platform::supported() const
{
    return colorizer != nullptr;
}

bool Platform::handleRequest(const Request& request)
{
    ReadinessWait noWait(false, systemWaitClock());
    return handleRequest(request, noWait);
}

bool Platform::handleRequest(const Request& request, ReadinessWait& wait)
{
    std::wostream& out = console();
    if (!colorizer) {
        out << std::endl << Messages::notCompatible << std::endl;
        printUsage(request);
        // The task file is written on any machine, as after a failed platform check.
        if (request.kind == RequestKind::CreateTaskFile) {
            answerWithoutFirmware(request);
        }
        return false;
    }
    if (!requestFacts(request.kind).changesLighting) {
        return answerWithoutFirmware(request);
    }
    // Whether colours are stored is decided under the lock too, with the
    // reading, sending and storing, and the record is written before it is
    // released: concurrent runs then end as some one of them after another
    // would.
    lockAndReadPolicy(request.kind);
    const bool done = changeLighting(request, wait);
    if (!done) {
        out << Messages::requestFailed << std::endl;
    }
    return done;
}

bool Platform::changeLighting(const Request& request, ReadinessWait& wait)
{
    if (request.kind == RequestKind::Restore) {
        // A restore is what the startup task runs: under a policy it sends the policy's colours.
        return restore(wait);
    }
    if (runNote.underPolicy && !policy.usersMayChange) {
        return refuseByPolicy();
    }
    switch (request.kind) {
    case RequestKind::Default: {
        const KestrineLightingLib::FirmwareResult sent = colorizer->setDefaultReporting();
        return noteFailures(sent, registryController.writeColors(defaultZoneValues()));
    }
    case RequestKind::Brightness: {
        ZoneValues values = startingValues();
        values[3] = request.values.at(0);
        values[7] = request.values.at(1);
        return applyAndStore(values);
    }
    case RequestKind::Colors:
        return applyAndStore(request.values);
    case RequestKind::Restore:
    case RequestKind::Help:
    case RequestKind::Invalid:
    case RequestKind::CreateTaskFile:
    case RequestKind::Status:
        break;
    }
    return false;
}

void Platform::lockAndReadPolicy(RequestKind kind)
{
    requestLock.emplace();
    policy = readColourPolicy();
    runNote.underPolicy = policy.state == PolicyState::InForce;
    runNote.source = requestSource(kind, policy, StoredRoot::None);
    if (policy.state == PolicyState::Unusable) {
        runFailures.push_back({FailureKind::PolicyUnusable, policyFaultText(policy)});
    }
}

bool Platform::restore(ReadinessWait& wait)
{
    wait.beginStep();
    for (;;) {
        const ZoneValues values = runNote.underPolicy ? policy.values : storedOrDefaultZoneValues();
        const KestrineLightingLib::FirmwareResult sent = colorizer->setColorsReporting(toColors(values));
        // Under a policy the stored colours stay as they are, for when it is lifted.
        const bool done = noteFailures(sent, runNote.underPolicy || registryController.writeColors(values));
        // Only a call that never reached the firmware is tried again.
        const auto& failure = sent.failure;
        const bool notSent = failure && !failure->executed && !failure->returnCode;
        const std::optional<std::chrono::milliseconds> pause =
            done || !notSent ? std::nullopt : wait.waitAfterFailure(failure->status);
        if (!pause) {
            return done;
        }
        // Nobody is kept waiting for this run: other runs go on meanwhile, and
        // what they set is what the next try reads and sends.
        requestLock.reset();
        wait.sleep(*pause);
        runFailures.clear();
        runNote = RunNote{};
        lockAndReadPolicy(RequestKind::Restore);
    }
}

bool Platform::applyAndStore(const ZoneValues& values)
{
    // The vector is stored even when the firmware refused it, so that the
    // next restore tries the same colours again.
    const KestrineLightingLib::FirmwareResult sent = colorizer->setColorsReporting(toColors(values));
    return noteFailures(sent, registryController.writeColors(values));
}

bool Platform::refuseByPolicy()
{
    runNote.refusedByPolicy = true;
    console() << Messages::setByPolicy << policyKeyName << std::endl;
    return false;
}

ZoneValues Platform::startingValues()
{
    return runNote.underPolicy ? policy.values : storedOrDefaultZoneValues();
}

bool Platform::noteFailures(const KestrineLightingLib::FirmwareResult& sent, bool stored)
{
    const auto& firmware = sent.failure;
    // A refused command reached the firmware; one whose call failed may not have.
    if ((!firmware || firmware->returnCode) && sent.zonesGot.size() == 2) {
        const auto& logo = sent.zonesGot[0];
        const auto& lightBar = sent.zonesGot[1];
        runNote.firmwareGot =
            ZoneBytes{Color(logo.red, logo.green, logo.blue), Color(lightBar.red, lightBar.green, lightBar.blue)};
    }
    if (!sent.accepted) {
        // Without a failure nothing reached the firmware: the command was never built.
        if (!firmware) {
            runFailures.push_back({FailureKind::Unexpected, L"the lighting command could not be built"});
        } else if (firmware->returnCode) {
            runFailures.push_back({FailureKind::FirmwareRefused, L"", *firmware->returnCode});
        } else {
            runFailures.push_back({FailureKind::FirmwareCall, widenAscii(firmware->step), firmware->status});
        }
    }
    if (!stored) {
        runFailures.push_back({FailureKind::NotStored, L""});
    }
    return sent.accepted && stored;
}

ZoneValues Platform::defaultZoneValues() const
{
    if (!colorizer) {
        return {};
    }
    return ::defaultZoneValues(*colorizer);
}

ZoneValues Platform::storedOrDefaultZoneValues()
{
    // "status" shows what this computes through the same plan, read only.
    const RestorePlan plan = registryController.restorePlan(defaultZoneValues());
    runNote.source = storedColoursSource(policy, plan.reads);
    return plan.values;
}

std::vector<Color> Platform::toColors(const ZoneValues& values) const
{
    if (colorizer->getZoneCount() != 2) {
        return {};
    }
    return colorsWithBrightness(values);
}
