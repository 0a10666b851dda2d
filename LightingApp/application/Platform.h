#pragma once

#include "application/ColorizerFactory.h"
#include "application/Request.h"
#include "colorizers/IColorizer.h"
#include "colorizers/ZoneColors.h"
#include "event_log/RunFailure.h"
#include "settings/RegistryController.h"

#include <memory>
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

    // What failed while carrying out the request, in order: the firmware
    // call and the storing of the colours.
    const std::vector<RunFailure>& failures() const { return runFailures; }

private:
    bool applyAndStore(const ZoneValues& values);
    // Notes what failed of sending and storing; true when neither did.
    bool noteFailures(bool sent, bool stored);
    ZoneValues defaultZoneValues() const;
    ZoneValues storedOrDefaultZoneValues() const;
    std::vector<Color> toColors(const ZoneValues& values) const;

    ColorizerFactory colorizerFactory;
    std::wstring machineModel;
    std::unique_ptr<IColorizer> colorizer;
    RegistryController registryController;
    std::vector<RunFailure> runFailures;
};
