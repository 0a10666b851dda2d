#pragma once

#include "colorizers/ColorZone.h"
#include "colorizers/IColorizer.h"
#include "lighting_library/CommandLimits.h"
#include "lighting_library/HardwareCommunicatorKestrineTA1.h"
#include "lighting_library/LightData.h"
#include "lighting_library/LightDataFactory.h"

#include <cstdint>
#include <memory>
#include <vector>

// What both device generations share: two zones (logo and light bar) on the
// TA1 lighting controller, their colours, and sending them as one light-data
// command. A generation supplies its default colours, how a zone colour is
// written into the light data, and what setDefault does.
class TwoZoneColorizer : public IColorizer {
public:
    bool setColors(std::vector<Color> colors) override;
    bool setDefault() override;
    KestrineLightingLib::FirmwareResult setColorsReporting(std::vector<Color> colors) override;
    Color getColor(std::int32_t zone) const override;
    Color getDefaultColor(std::int32_t zone) const override;
    std::int32_t getZoneCount() const override;

protected:
    TwoZoneColorizer(const Color& logoDefault, const Color& lightBarDefault);

    // Builds light data from the zones' current colours and sends it.
    KestrineLightingLib::FirmwareResult sendZones();

    KestrineLightingLib::HardwareCommunicator& communicator() { return hardwareCommunicator; }

private:
    std::shared_ptr<KestrineLightingLib::LightData> buildLightData() const;
    const ColorZone& zoneAt(std::int32_t zone) const;

    std::vector<ColorZone> zones;
    std::int32_t zoneCount = 2;
    Color zone1Default;
    Color zone2Default;
    std::shared_ptr<KestrineLightingLib::CommandLimits> commandLimits;
    std::shared_ptr<KestrineLightingLib::LightDataFactory> lightDataFactory;
    KestrineLightingLib::HardwareCommunicatorKestrineTA1 hardwareCommunicator;
};
