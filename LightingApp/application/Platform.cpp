#include "application/Platform.h"

#include "application/Messages.h"
#include "application/RequestLock.h"
#include "application/RequestTable.h"
#include "application/TaskFileReport.h"
#include "application/UsageText.h"
#include "lighting_library/FirmwareFailure.h"
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
        if (request.kind == RequestKind::CreateTaskFile && !reportTaskFile(request)) {
            out << Messages::requestFailed << std::endl;
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
        const bool sent = colorizer->setDefault();
        return noteFailures(defaultZoneValues(), sent, registryController.writeColors(defaultZoneValues()));
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
        // Under a policy the stored colours stay as they are, for when it is lifted.
        const bool done = runNote.underPolicy ? apply(policy.values) : applyAndStore(storedOrDefaultZoneValues());
        // Only a call that never reached the firmware is tried again.
        const bool notSent = firmwareFailure && !firmwareFailure->executed && !firmwareFailure->returnCode;
        const std::optional<std::chrono::milliseconds> pause =
            done || !notSent ? std::nullopt : wait.waitAfterFailure(firmwareFailure->status);
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
    const bool sent = colorizer->setColors(toColors(values));
    return noteFailures(values, sent, registryController.writeColors(values));
}

bool Platform::apply(const ZoneValues& values)
{
    const bool sent = colorizer->setColors(toColors(values));
    return noteFailures(values, sent, true);
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

void Platform::noteFirmwareGot(const ZoneValues& values)
{
    const std::vector<Color> bytes = controllerColors(*colorizer, values);
    if (bytes.size() == 2) {
        runNote.firmwareGot = ZoneBytes{bytes[0], bytes[1]};
    }
}

bool Platform::noteFailures(const ZoneValues& values, bool sent, bool stored)
{
    firmwareFailure = sent ? std::nullopt : KestrineLightingLib::takeFirmwareFailure();
    if (sent) {
        noteFirmwareGot(values);
    } else {
        // Without a note nothing reached the firmware: the command was never built.
        const auto& firmware = firmwareFailure;
        if (firmware && firmware->returnCode) {
            // A refused command reached the firmware; one whose call failed may not have.
            noteFirmwareGot(values);
        }
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
    return sent && stored;
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
