// Both colorizers, with the firmware channel replaced by the recording fake.

#include "colorizers/GenOneColorizer.h"
#include "colorizers/GenTwoColorizer.h"
#include "fake_firmware/FakeFirmware.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

using KestrineLightingLib::CommandBlock;

void PrintTo(const Color& color, std::ostream* out)
{
    *out << "(" << int{color.red} << ", " << int{color.green} << ", " << int{color.blue} << ")";
}

namespace {

CommandBlock colorBlock(std::vector<std::uint8_t> zoneBytes)
{
    CommandBlock block{};
    block[0] = 3;
    for (std::size_t i = 0; i < zoneBytes.size(); ++i) {
        block[i + 1] = zoneBytes[i];
    }
    return block;
}

// What the two generations have in common, and the bytes each one sends.
struct Generation {
    std::string name;
    std::function<std::unique_ptr<IColorizer>()> create;
    Color zone1Default;
    Color zone2Default;
    // Zone bytes of a fresh colorizer.
    std::vector<std::uint8_t> sentDefaults;
    // Zone bytes after setColors({{255, 0, 0}}): zone 2 keeps its default.
    std::vector<std::uint8_t> sentAfterFirstZoneRed;
    // Zone bytes after setColors({{0, 255, 0}, {0, 0, 255}}).
    std::vector<std::uint8_t> sentGreenAndBlue;
};

void PrintTo(const Generation& generation, std::ostream* out)
{
    *out << generation.name;
}

const Generation generations[] = {
    {"GenOne",
     [] { return std::make_unique<GenOneColorizer>(); },
     {255, 255, 255},
     {255, 255, 255},
     {255, 254, 255, 255, 254, 255},
     {255, 53, 0, 255, 254, 255},
     {0, 183, 0, 0, 17, 255}},
    {"GenTwo",
     [] { return std::make_unique<GenTwoColorizer>(); },
     {230, 255, 255},
     {210, 200, 230},
     {230, 255, 255, 210, 200, 230},
     {255, 0, 0, 210, 200, 230},
     {0, 255, 0, 0, 0, 255}},
};

class EitherColorizer : public testing::TestWithParam<Generation> {
protected:
    void SetUp() override { fake_firmware::reset(); }

    // The zone bytes of the one colour command sent so far.
    static std::vector<std::uint8_t> sentZones()
    {
        EXPECT_EQ(fake_firmware::calls().size(), 1u);
        if (fake_firmware::calls().empty()) {
            return {};
        }
        const auto& call = fake_firmware::calls()[0];
        EXPECT_EQ(call.commandType, 3);
        EXPECT_EQ(call.block[0], 3);
        EXPECT_TRUE(std::all_of(call.block.begin() + 7, call.block.end(), [](std::uint8_t b) { return b == 0; }));
        return {call.block.begin() + 1, call.block.begin() + 7};
    }

    std::unique_ptr<IColorizer> colorizer = GetParam().create();
};

} // namespace

TEST_P(EitherColorizer, StartsWithItsDefaults)
{
    const Generation& generation = GetParam();
    EXPECT_EQ(colorizer->getZoneCount(), 2);
    EXPECT_EQ(colorizer->getColor(0), generation.zone1Default);
    EXPECT_EQ(colorizer->getDefaultColor(0), generation.zone1Default);
    EXPECT_EQ(colorizer->getColor(1), generation.zone2Default);
    EXPECT_EQ(colorizer->getDefaultColor(1), generation.zone2Default);
    EXPECT_TRUE(fake_firmware::calls().empty());
}

TEST_P(EitherColorizer, SetColorsWithoutColoursSendsTheCurrentOnes)
{
    EXPECT_TRUE(colorizer->setColors({}));
    EXPECT_EQ(sentZones(), GetParam().sentDefaults);
    EXPECT_EQ(colorizer->getColor(0), GetParam().zone1Default);
}

TEST_P(EitherColorizer, SetColorsWithOneColourChangesZoneOneOnly)
{
    EXPECT_TRUE(colorizer->setColors({Color(255, 0, 0)}));
    EXPECT_EQ(sentZones(), GetParam().sentAfterFirstZoneRed);
    EXPECT_EQ(colorizer->getColor(0), Color(255, 0, 0));
    EXPECT_EQ(colorizer->getColor(1), GetParam().zone2Default);
}

TEST_P(EitherColorizer, SetColorsWithTwoColoursSendsBothAndKeepsTheDefaults)
{
    EXPECT_TRUE(colorizer->setColors({Color(0, 255, 0), Color(0, 0, 255)}));
    EXPECT_EQ(sentZones(), GetParam().sentGreenAndBlue);
    EXPECT_EQ(colorizer->getColor(0), Color(0, 255, 0));
    EXPECT_EQ(colorizer->getColor(1), Color(0, 0, 255));
    EXPECT_EQ(colorizer->getDefaultColor(0), GetParam().zone1Default);
    EXPECT_EQ(colorizer->getDefaultColor(1), GetParam().zone2Default);
}

TEST_P(EitherColorizer, ColoursBeyondTheLastZoneAreIgnored)
{
    EXPECT_TRUE(colorizer->setColors({Color(0, 255, 0), Color(0, 0, 255), Color(1, 2, 3)}));
    EXPECT_EQ(sentZones(), GetParam().sentGreenAndBlue);
}

TEST_P(EitherColorizer, AFailedSendKeepsTheNewColours)
{
    fake_firmware::reset({false});
    EXPECT_FALSE(colorizer->setColors({Color(1, 2, 3), Color(4, 5, 6)}));
    EXPECT_EQ(fake_firmware::calls().size(), 1u);
    EXPECT_EQ(colorizer->getColor(0), Color(1, 2, 3));
    EXPECT_EQ(colorizer->getColor(1), Color(4, 5, 6));
    EXPECT_EQ(colorizer->getDefaultColor(0), GetParam().zone1Default);
}

TEST_P(EitherColorizer, BlackGoesOutAsZeros)
{
    EXPECT_TRUE(colorizer->setColors({Color(0, 0, 0), Color(0, 0, 0)}));
    EXPECT_EQ(sentZones(), std::vector<std::uint8_t>(6, 0));
}

TEST_P(EitherColorizer, ZoneIndexesOutsideTheZonesAreRefused)
{
    for (const std::int32_t zone : {-1, 2, 1000}) {
        SCOPED_TRACE(zone);
        EXPECT_THROW(colorizer->getColor(zone), std::out_of_range);
        EXPECT_THROW(colorizer->getDefaultColor(zone), std::out_of_range);
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, EitherColorizer, testing::ValuesIn(generations),
                         [](const testing::TestParamInfo<Generation>& info) { return info.param.name; });

TEST(GenTwoColorizer, SetDefaultSendsTheCurrentColoursOnce)
{
    fake_firmware::reset();
    GenTwoColorizer colorizer;
    EXPECT_TRUE(colorizer.setDefault());
    ASSERT_EQ(fake_firmware::calls().size(), 1u);
    EXPECT_EQ(fake_firmware::calls()[0].commandType, 3);
    EXPECT_EQ(fake_firmware::calls()[0].block, colorBlock({230, 255, 255, 210, 200, 230}));

    // After setColors, setDefault sends the colours last given, not the defaults.
    ASSERT_TRUE(colorizer.setColors({Color(255, 255, 255), Color(0, 0, 127)}));
    fake_firmware::reset({false});
    EXPECT_FALSE(colorizer.setDefault());
    ASSERT_EQ(fake_firmware::calls().size(), 1u);
    EXPECT_EQ(fake_firmware::calls()[0].block, colorBlock({255, 255, 255, 0, 0, 127}));
}

TEST(GenOneColorizer, SetDefaultSetsFullBrightnessThenSendsWhateverTheBrightnessCallGave)
{
    struct Case {
        bool brightnessAccepted;
        bool colorsAccepted;
        bool result;
    };
    CommandBlock fullBrightness{};
    fullBrightness[0] = 3;
    fullBrightness[127] = 100;

    for (const Case c : {Case{true, true, true}, Case{false, true, false}, Case{true, false, false},
                         Case{false, false, false}}) {
        SCOPED_TRACE(testing::Message() << "brightness " << c.brightnessAccepted << ", colours " << c.colorsAccepted);
        fake_firmware::reset({c.brightnessAccepted, c.colorsAccepted});
        GenOneColorizer colorizer;
        EXPECT_EQ(colorizer.setDefault(), c.result);

        const auto& calls = fake_firmware::calls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].commandType, 5);
        EXPECT_EQ(calls[0].block, fullBrightness);
        EXPECT_EQ(calls[1].commandType, 3);
        EXPECT_EQ(calls[1].block, colorBlock({255, 254, 255, 255, 254, 255}));
    }
}

TEST(GenOneColorizer, SetDefaultSendsTheColoursLastGiven)
{
    GenOneColorizer colorizer;
    ASSERT_TRUE(colorizer.setColors({Color(127, 127, 127), Color(255, 128, 0)}));
    fake_firmware::reset();
    EXPECT_TRUE(colorizer.setDefault());
    ASSERT_EQ(fake_firmware::calls().size(), 2u);
    EXPECT_EQ(fake_firmware::calls()[1].block, colorBlock({127, 127, 127, 255, 145, 0}));
}

// setDefaultReporting of the first generation: two commands, one answer. The
// failure it names is the colour command's, else the brightness call's; the
// zone bytes are the colour command's.
TEST(GenOneColorizer, SetDefaultReportingNamesTheLastFailureAndTheColourCommandsBytes)
{
    using KestrineLightingLib::FirmwareFailure;
    const FirmwareFailure brightnessFailed{"ExecMethod orvBIOSInt0", static_cast<std::int32_t>(0x80041024U),
                                           std::nullopt, false};
    const FirmwareFailure coloursFailed{"GetObject orvBIntM", static_cast<std::int32_t>(0x80041010U), std::nullopt,
                                        false};
    struct Case {
        const char* name;
        std::optional<FirmwareFailure> brightness;
        std::optional<FirmwareFailure> colours;
        bool accepted;
        // The step the result names ("" for none), and whether it has zone bytes.
        std::string step;
        bool zonesGot;
    };
    const Case cases[] = {
        {"both accepted", std::nullopt, std::nullopt, true, "", true},
        {"brightness failed", brightnessFailed, std::nullopt, false, "ExecMethod orvBIOSInt0", true},
        {"colours failed", std::nullopt, coloursFailed, false, "GetObject orvBIntM", false},
        {"both failed", brightnessFailed, coloursFailed, false, "GetObject orvBIntM", false},
        {"brightness refused, colours failed", fake_firmware::refused(), coloursFailed, false, "GetObject orvBIntM",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_firmware::resetWithFailures({c.brightness, c.colours});
        GenOneColorizer colorizer;
        const KestrineLightingLib::FirmwareResult result = colorizer.setDefaultReporting();

        ASSERT_EQ(fake_firmware::calls().size(), 2u);
        EXPECT_EQ(result.accepted, c.accepted);
        EXPECT_EQ(result.failure.has_value(), !c.accepted);
        EXPECT_EQ(result.failure ? result.failure->step : "", c.step);
        ASSERT_EQ(result.zonesGot.size(), c.zonesGot ? 2u : 0u);
        if (c.zonesGot) {
            EXPECT_EQ(result.zonesGot[0].green, 254) << "the luminosity of white";
            EXPECT_EQ(result.zonesGot[1].red, 255);
        }
    }
}

TEST_P(EitherColorizer, SetColorsReportingGivesTheZoneBytesSentAndTheFailure)
{
    const KestrineLightingLib::FirmwareResult accepted =
        colorizer->setColorsReporting({Color(0, 255, 0), Color(0, 0, 255)});
    EXPECT_TRUE(accepted.accepted);
    EXPECT_FALSE(accepted.failure.has_value());
    std::vector<std::uint8_t> got;
    for (const auto& zone : accepted.zonesGot) {
        got.insert(got.end(), {zone.red, zone.green, zone.blue});
    }
    EXPECT_EQ(got, GetParam().sentGreenAndBlue);

    fake_firmware::reset({false});
    const KestrineLightingLib::FirmwareResult refused = colorizer->setColorsReporting({});
    EXPECT_FALSE(refused.accepted);
    ASSERT_TRUE(refused.failure.has_value());
    EXPECT_EQ(refused.failure->returnCode, fake_firmware::refused().returnCode);
    EXPECT_EQ(refused.zonesGot.size(), 2u) << "a refused command reached the firmware";
}

TEST(GenTwoColorizer, SetDefaultReportingIsTheColourCommandsResult)
{
    fake_firmware::resetWithFailures({fake_firmware::refused()});
    GenTwoColorizer colorizer;
    const KestrineLightingLib::FirmwareResult result = colorizer.setDefaultReporting();
    ASSERT_EQ(fake_firmware::calls().size(), 1u);
    EXPECT_FALSE(result.accepted);
    ASSERT_TRUE(result.failure.has_value());
    EXPECT_EQ(result.failure->returnCode, 1);
    ASSERT_EQ(result.zonesGot.size(), 2u);
    EXPECT_EQ(result.zonesGot[1].blue, 230);
}
