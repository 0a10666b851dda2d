#include "application/Platform.h"

#include "application/ConsoleOutput.h"
#include "application/Messages.h"
#include "application/RequestLock.h"
#include "application/UsageText.h"
#include "platform_check/GenerationDetection.h"

#include <optional>

namespace {

// The requests that read, send and store colours.
bool changesLighting(RequestKind kind)
{
    return kind == RequestKind::Restore || kind == RequestKind::Default || kind == RequestKind::Brightness
        || kind == RequestKind::Colors;
}

} // namespace

Platform::Platform() : colorizer(colorizerFactory.createColorizer(detectGeneration())) {}

Platform::~Platform() = default;

bool Platform::handleRequest(const Request& request)
{
    std::wostream& out = console();
    if (!colorizer) {
        out << std::endl << Messages::notCompatible << std::endl;
        printUsage(request);
        return false;
    }

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

bool Platform::reportTaskFile(const Request& request) const
{
    if (request.taskFileWritten) {
        console() << Messages::taskFileWritten << request.taskFile << std::endl;
        return true;
    }
    console() << Messages::taskFileNotWritten << request.taskFile << std::endl;
    if (!request.taskFileReason.empty()) {
        console() << request.taskFileReason << std::endl;
    }
    return false;
}

ZoneValues Platform::defaultZoneValues() const
{
    if (!colorizer) {
        return {};
    }
    return zoneValuesAtFullBrightness(colorizer->getDefaultColor(0), colorizer->getDefaultColor(1));
}

ZoneValues Platform::storedOrDefaultZoneValues() const
{
    ZoneValues values = defaultZoneValues();
    if (registryController.hasStoredColors) {
        registryController.readColors(values);
    }
    return values;
}

std::vector<Color> Platform::toColors(const ZoneValues& values) const
{
    if (colorizer->getZoneCount() != 2) {
        return {};
    }
    return colorsWithBrightness(values);
}
