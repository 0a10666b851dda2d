#include "lighting_library/CommandLimitsKestrineTa1.h"
#include "lighting_library/LightDataFactory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>

using namespace KestrineLightingLib;

namespace {

// Limits of an imagined controller, to shape light data the TA1 never asks for.
class FixedLimits : public CommandLimits {
public:
    FixedLimits(std::uint32_t zonesPerPage, PageLimits limits) : zones(zonesPerPage), limits(limits) {}

    std::uint32_t getZonesPerPage(std::int32_t command) const override
    {
        askedCommand = command;
        return zones;
    }
    PageLimits getPageLimits(std::int32_t /*command*/) const override { return limits; }

    mutable std::int32_t askedCommand = 0;

private:
    std::uint32_t zones;
    PageLimits limits;
};

} // namespace

TEST(CommandLimitsKestrineTa1, GivesOnePageOfTwoZonesWhateverTheCommand)
{
    const CommandLimitsKestrineTa1 limits;
    for (const std::int32_t command :
         {0, 1, 3, 4, 99, -1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(limits.getZonesPerPage(command), 2u);
        const PageLimits pageLimits = limits.getPageLimits(command);
        EXPECT_EQ(pageLimits.pageCount, 1u);
        EXPECT_EQ(pageLimits.pageLimit, 1u);
    }
}

TEST(LightDataFactory, BuildsOnePageOfTwoWhiteZonesOnTa1)
{
    const LightDataFactory factory(std::make_shared<CommandLimitsKestrineTa1>());
    const auto lightData = factory.createLightData();

    EXPECT_EQ(lightData->command, 3);
    EXPECT_EQ(lightData->zonesPerPage, 2u);
    EXPECT_EQ(lightData->pageLimits.pageCount, 1u);
    EXPECT_EQ(lightData->pageLimits.pageLimit, 1u);
    ASSERT_EQ(lightData->pages.size(), 1u);
    const auto& page = *lightData->pages[0];
    EXPECT_EQ(page.owner, lightData.get());
    ASSERT_EQ(page.zones.size(), 2u);
    for (const auto& zone : page.zones) {
        EXPECT_EQ(zone->owner, lightData.get());
        EXPECT_EQ(zone->red, 255);
        EXPECT_EQ(zone->green, 255);
        EXPECT_EQ(zone->blue, 255);
    }
}

TEST(LightDataFactory, EveryCallGivesLightDataOfItsOwn)
{
    const LightDataFactory factory(std::make_shared<CommandLimitsKestrineTa1>());
    const auto first = factory.createLightData();
    first->pages[0]->zones[0]->red = 7;

    const auto second = factory.createLightData();
    EXPECT_NE(first, second);
    EXPECT_EQ(second->pages[0]->zones[0]->red, 255);
}

TEST(LightDataFactory, ShapesTheLightDataByTheLimitsForTheColourCommand)
{
    struct Shape {
        std::uint32_t zonesPerPage;
        std::uint32_t pageCount;
    };
    for (const Shape shape : {Shape{2, 0}, Shape{0, 3}, Shape{5, 2}, Shape{43, 1}}) {
        SCOPED_TRACE(testing::Message() << shape.zonesPerPage << " zones, " << shape.pageCount << " pages");
        const auto limits = std::make_shared<FixedLimits>(shape.zonesPerPage, PageLimits{shape.pageCount, 9});
        const LightDataFactory factory(limits);

        const auto lightData = factory.createLightData();
        EXPECT_EQ(limits->askedCommand, 3);
        EXPECT_EQ(lightData->pageLimits.pageLimit, 9u);
        ASSERT_EQ(lightData->pages.size(), shape.pageCount);
        for (const auto& page : lightData->pages) {
            EXPECT_EQ(page->owner, lightData.get());
            EXPECT_EQ(page->zones.size(), shape.zonesPerPage);
        }
    }
}

TEST(LightDataFactory, RefusesMissingLimits)
{
    EXPECT_THROW(LightDataFactory(nullptr), std::invalid_argument);
}
