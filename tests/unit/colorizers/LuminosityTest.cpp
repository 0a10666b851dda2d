#include "colorizers/Luminosity.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Luminosity, WeighsGreenRedAndBlueAndTruncates)
{
    struct Case {
        Color color;
        int expected;
    };
    const Case cases[] = {
        {{255, 255, 255}, 254}, // the sum falls just below 255
        {{127, 127, 127}, 127},
        {{25, 25, 25}, 25},
        {{10, 10, 10}, 9},
        {{100, 100, 100}, 100},
        {{255, 0, 0}, 53},
        {{0, 255, 0}, 183},
        {{0, 0, 255}, 17},
        {{255, 128, 0}, 145},
        {{0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.color.red} << "," << int{c.color.green} << "," << int{c.color.blue});
        EXPECT_EQ(luminosity(c.color), c.expected);
    }
}

namespace {

int luminosityOfGrey(int level)
{
    const auto n = static_cast<std::uint8_t>(level);
    return luminosity(Color(n, n, n));
}

} // namespace

TEST(Luminosity, FortySixGreyLevelsComeOutOneLower)
{
    int oneLower = 0;
    for (int level = 0; level <= 255; ++level) {
        const int result = luminosityOfGrey(level);
        ASSERT_TRUE(result == level || result == level - 1) << "grey " << level << " gave " << result;
        if (result == level - 1) {
            ++oneLower;
        }
    }
    EXPECT_EQ(oneLower, 46);

    for (const int level : {5, 10, 20, 40, 255}) {
        EXPECT_EQ(luminosityOfGrey(level), level - 1) << "grey " << level;
    }
    for (const int level : {50, 100, 128, 200}) {
        EXPECT_EQ(luminosityOfGrey(level), level) << "grey " << level;
    }
}
