#include "application/Platform.h"

#include "application/Messages.h"
#include "application/RequestLock.h"
#include "application/TaskFileReport.h"
#include "application/UsageText.h"
#include "platform_check/GenerationDetection.h"
#include "windows_wrappers/ConsoleOutput.h"

#include <optional>

Platform::Platform() : colorizer(colorizerFactory.createColorizer(detectGeneration())) {}

Platform::~Platform() = default;

bool Platform::supported() const
{
    return colorizer != nullptr;
}

bool Platform::handleRequest(const Request& request)
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

    // Whether colours are stored is decided under the lock too, with the
    // reading, sending and storing: concurrent runs then end as some one of
    // them after another would.
    std::optional<RequestLock> lock;
    if (changesLighting(request.kind)) {
        lock.emplace();
    }

    bool result = false;
    switch (request.kind) {
    case RequestKind::Invalid:
        out << Messages::invalidArguments << std::endl;
        printUsage(request);
        break;
    case RequestKind::Restore:
        result = applyAndStore(storedOrDefaultZoneValues());
        break;
    case RequestKind::Default: {
        const bool sent = colorizer->setDefault();
        const bool stored = registryController.writeColors(defaultZoneValues());
        result = sent && stored;
        break;
    }
    case RequestKind::Help:
        printUsage(request);
        return true;
    case RequestKind::Brightness: {
        ZoneValues values = storedOrDefaultZoneValues();
        values[3] = request.values.at(0);
        values[7] = request.values.at(1);
        result = applyAndStore(values);
        break;
    }
    case RequestKind::Colors:
        result = applyAndStore(request.values);
        break;
    case RequestKind::Status:
        // Answered without a machine check; never handed to a Platform.
        break;
    case RequestKind::CreateTaskFile:
        result = reportTaskFile(request);
        break;
    }

    if (!result) {
        out << Messages::requestFailed << std::endl;
    }
    return result;
}

bool Platform::applyAndStore(const ZoneValues& values)
{
    // The vector is stored even when the firmware refused it, so that the
    // next restore tries the same colours again.
    const bool sent = colorizer->setColors(toColors(values));
    const bool stored = registryController.writeColors(values);
    return sent && stored;
}

ZoneValues Platform::defaultZoneValues() const
{
    if (!colorizer) {
        return {};
    }
    return ::defaultZoneValues(*colorizer);
}

ZoneValues Platform::storedOrDefaultZoneValues() const
{
    // "status" shows what this computes through the same plan, read only.
    return registryController.restorePlan(defaultZoneValues()).values;
}

std::vector<Color> Platform::toColors(const ZoneValues& values) const
{
    if (colorizer->getZoneCount() != 2) {
        return {};
    }
    return colorsWithBrightness(values);
}
