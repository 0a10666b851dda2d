#include "LightDataShape.h"

#include <algorithm>
#include <cstring>

using KestrineLightingLib::LightData;
using KestrineLightingLib::PageLimits;
using KestrineLightingLib::Zone;

namespace {

constexpr std::uint8_t raggedPages = 1;
constexpr std::uint8_t withHoles = 2;
constexpr std::uint8_t firmwareRefusesFlag = 4;
constexpr std::uint8_t noLightData = 8;

// Zones in all, so that one run stays well under a millisecond; the block has
// room for 42.
constexpr std::uint32_t zoneBudget = 1024;

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : next(data), end(data + size) {}

    std::uint8_t read(std::uint8_t fallback)
    {
        return next < end ? *next++ : fallback;
    }

    std::int32_t readCommand()
    {
        const std::uint8_t selector = read(3);
        if (selector < 0x80) {
            return selector % 6;
        }
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= static_cast<std::uint32_t>(read(0)) << shift;
        }
        std::int32_t command = 0;
        std::memcpy(&command, &value, sizeof command);
        return command;
    }

private:
    const std::uint8_t* next;
    const std::uint8_t* end;
};

} // namespace

LightDataShape lightDataShapeOf(const std::uint8_t* data, std::size_t size)
{
    ByteReader input(data, size);
    const std::int32_t command = input.readCommand();
    const std::uint8_t pageCount = input.read(1);
    std::uint32_t zonesPerPage = input.read(2);
    const std::uint8_t flags = input.read(0);
    if (pageCount * zonesPerPage > zoneBudget) {
        zonesPerPage = zoneBudget / pageCount;
    }
    std::uint32_t zonesLeft = zoneBudget;

    LightDataShape shape;
    shape.firmwareRefuses = (flags & firmwareRefusesFlag) != 0;
    if ((flags & noLightData) != 0) {
        return shape;
    }
    const bool holes = (flags & withHoles) != 0;

    auto lightData = std::make_shared<LightData>(command, zonesPerPage, PageLimits{pageCount, pageCount});
    for (std::uint32_t p = 0; p < pageCount; ++p) {
        if (holes && input.read(1) == 0) {
            lightData->pages.push_back(nullptr);
            continue;
        }
        auto page = lightData->createPage();
        if ((flags & raggedPages) != 0) {
            const std::uint32_t zonesHere = std::min<std::uint32_t>(input.read(2), zonesLeft);
            while (page->zones.size() > zonesHere) {
                page->zones.pop_back();
            }
            while (page->zones.size() < zonesHere) {
                page->zones.push_back(std::make_shared<Zone>(lightData.get()));
            }
        }
        zonesLeft -= std::min<std::uint32_t>(zonesLeft, static_cast<std::uint32_t>(page->zones.size()));
        for (auto& zone : page->zones) {
            if (holes && input.read(1) == 0) {
                zone.reset();
                continue;
            }
            zone->red = input.read(zone->red);
            zone->green = input.read(zone->green);
            zone->blue = input.read(zone->blue);
        }
        lightData->pages.push_back(std::move(page));
    }
    shape.lightData = std::move(lightData);
    return shape;
}
