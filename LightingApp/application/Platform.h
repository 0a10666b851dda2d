#pragma once

#include "application/ColorizerFactory.h"
#include "application/ReadinessWait.h"
#include "application/Request.h"
#include "application/RequestLock.h"
#include "colorizers/IColorizer.h"
#include "colorizers/ZoneColors.h"
#include "lighting_library/FirmwareFailure.h"
#include "policy/ColourPolicy.h"
#include "run_record/RunFailure.h"
#include "run_record/RunRecord.h"
#include "settings/RegistryController.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// One run of the program: the colorizer that fits this machine (none when the
// model is not supported) and the stored colours, and the request carried out
// with them.
class Platform {
public:
    // Identifies the machine; throws when its model cannot be read.
    Platform();
    virtual ~Platform();

    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // Whether the machine is one of the supported models.
    bool supported() const;

    // The model the machine reported.
    const std::wstring& model() const { return machineModel; }

    // Carries out the request and reports on the console. True when it was
    // carried out in full.
    bool handleRequest(const Request& request);
    // The same; a restore whose firmware call meets an interface not ready
    // yet tries again as the wait allows.
    bool handleRequest(const Request& request, ReadinessWait& wait);

    // What failed while carrying out the request, in order: the firmware
    // call and the storing of the colours.
    const std::vector<RunFailure>& failures() const { return runFailures; }

    // What the run noted for its record, and the stored colours it records to.
    // A lighting request keeps the request lock until the Platform goes, so
    // that its record is written under the lock too.
    const RunNote& note() const { return runNote; }
    const RegistryController& registry() const { return registryController; }

private:
    // Carries out a request that changes the lighting, under the lock.
    bool changeLighting(const Request& request, ReadinessWait& wait);
    // Takes the request lock, then reads the policy under it.
    void lockAndReadPolicy(RequestKind kind);
    // Sends the stored colours (or the policy's) and stores them; after a
    // wait, without the lock, reads and sends them anew.
    bool restore(ReadinessWait& wait);
    bool applyAndStore(const ZoneValues& values);
    // A lighting request under a policy in force that does not let users
    // change the lighting: refused on the console.
    bool refuseByPolicy();
    // The colours a restore or a brightness request starts from: the
    // policy's when it is in force, else the stored ones (the source noted).
    ZoneValues startingValues();
    // Notes what failed of sending and storing the colours, and what the
    // firmware got, from what the colorizer answered; true when neither failed.
    bool noteFailures(const KestrineLightingLib::FirmwareResult& sent, bool stored);
    ZoneValues defaultZoneValues() const;
    ZoneValues storedOrDefaultZoneValues();
    std::vector<Color> toColors(const ZoneValues& values) const;

    ColorizerFactory colorizerFactory;
    std::wstring machineModel;
    std::unique_ptr<IColorizer> colorizer;
    RegistryController registryController;
    std::vector<RunFailure> runFailures;
    ColourPolicy policy;
    RunNote runNote;
    std::optional<RequestLock> requestLock;
};
