#include "colorizers/ZoneColors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ZoneColors, BrightnessFactorIsFormedFirstAndTruncated)
{
    // 100 * 0.29 and 200 * 0.29 fall just below 29 and 58.
    EXPECT_THAT(colorsWithBrightness({200, 100, 50, 29, 0, 0, 0, 0}),
                ElementsAre(Color(57, 28, 14), Color(0, 0, 0)));
}

TEST(ZoneColors, FullBrightnessKeepsAndZeroBrightnessClearsTheColour)
{
    EXPECT_THAT(colorsWithBrightness({255, 0, 0, 100, 0, 0, 255, 50}),
                ElementsAre(Color(255, 0, 0), Color(0, 0, 127)));
    EXPECT_THAT(colorsWithBrightness({255, 255, 255, 0, 1, 2, 3, 100}),
                ElementsAre(Color(0, 0, 0), Color(1, 2, 3)));
    EXPECT_THAT(colorsWithBrightness({255, 0, 0, 10, 0, 255, 0, 10}),
                ElementsAre(Color(25, 0, 0), Color(0, 25, 0)));
}

TEST(ZoneColors, ComponentsSaturateBeyondFullBrightness)
{
    EXPECT_THAT(colorsWithBrightness({255, 128, 1, 200, 255, 255, 255, 255}),
                ElementsAre(Color(255, 255, 2), Color(255, 255, 255)));
}

TEST(ZoneColors, NeedsExactlyEightValues)
{
    EXPECT_THAT(colorsWithBrightness({}), IsEmpty());
    EXPECT_THAT(colorsWithBrightness({1, 2, 3, 4, 5, 6, 7}), IsEmpty());
    EXPECT_THAT(colorsWithBrightness({1, 2, 3, 4, 5, 6, 7, 8, 9}), IsEmpty());
}

TEST(ZoneColors, DefaultsGoAtFullBrightness)
{
    EXPECT_THAT(zoneValuesAtFullBrightness(Color(230, 255, 255), Color(210, 200, 230)),
                ElementsAre(230, 255, 255, 100, 210, 200, 230, 100));
}

} // namespace
