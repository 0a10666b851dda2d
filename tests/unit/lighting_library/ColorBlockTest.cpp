// The colour block that sendLightData hands to the firmware channel.

#include "fake_firmware/FakeFirmware.h"
#include "lighting_library/CommandLimitsKestrineTa1.h"
#include "lighting_library/HardwareCommunicatorKestrineTA1.h"
#include "lighting_library/LightDataFactory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

using namespace KestrineLightingLib;

namespace {

// Light data with the given number of zones in each page. The zones' bytes
// count up from 1 in the order they should be written, so that block offset
// i holds i for every byte that was written.
std::shared_ptr<LightData> numberedLightData(std::initializer_list<std::uint32_t> zonesPerPage,
                                             std::int32_t command = 3)
{
    auto lightData = std::make_shared<LightData>(command, 0, PageLimits{});
    std::uint8_t next = 1;
    for (const std::uint32_t count : zonesPerPage) {
        lightData->zonesPerPage = count;
        auto page = lightData->createPage();
        for (const auto& zone : page->zones) {
            zone->red = next++;
            zone->green = next++;
            zone->blue = next++;
        }
        lightData->pages.push_back(page);
    }
    return lightData;
}

CommandBlock blockOf(std::vector<std::uint8_t> leadingBytes)
{
    CommandBlock block{};
    for (std::size_t i = 0; i < leadingBytes.size(); ++i) {
        block[i] = leadingBytes[i];
    }
    return block;
}

// The zones a result says the firmware got, each as its three bytes.
std::vector<std::vector<std::uint8_t>> zoneBytes(const FirmwareResult& result)
{
    std::vector<std::vector<std::uint8_t>> zones;
    for (const ZoneColorBytes& zone : result.zonesGot) {
        zones.push_back({zone.red, zone.green, zone.blue});
    }
    return zones;
}

class ColorBlock : public testing::Test {
protected:
    void SetUp() override { fake_firmware::reset(); }

    const fake_firmware::Call& onlyCall()
    {
        EXPECT_EQ(fake_firmware::calls().size(), 1u);
        return fake_firmware::calls().at(0);
    }

    HardwareCommunicatorKestrineTA1 communicator;
};

} // namespace

TEST_F(ColorBlock, FreshTa1LightDataGoesOutAsTwoWhiteZones)
{
    const LightDataFactory factory(std::make_shared<CommandLimitsKestrineTa1>());
    ASSERT_TRUE(communicator.sendLightData(factory.createLightData()));

    const auto& call = onlyCall();
    EXPECT_EQ(call.commandType, 3);
    EXPECT_EQ(call.block, blockOf({3, 255, 255, 255, 255, 255, 255}));
}

TEST_F(ColorBlock, CarriesTheZonesInOrderAfterTheCommandByte)
{
    const LightDataFactory factory(std::make_shared<CommandLimitsKestrineTa1>());
    auto lightData = factory.createLightData();
    auto& zones = lightData->pages[0]->zones;
    zones[0]->red = 255;
    zones[0]->green = 0;
    zones[0]->blue = 0;
    zones[1]->red = 0;
    zones[1]->green = 0;
    zones[1]->blue = 127;

    ASSERT_TRUE(communicator.sendLightData(lightData));
    EXPECT_EQ(onlyCall().block, blockOf({3, 255, 0, 0, 0, 0, 127}));
}

TEST_F(ColorBlock, WritesZonesPageByPageAsLongAsTheyFit)
{
    struct Case {
        const char* name;
        std::initializer_list<std::uint32_t> zonesPerPage;
        std::size_t bytesWritten;
    };
    const Case cases[] = {
        {"one zone", {1}, 3},
        {"an empty page adds nothing", {1, 0, 1}, 6},
        {"only empty pages", {0, 0}, 0},
        {"exactly 42 zones", {42}, 126},
        {"43 zones in one page", {43}, 126},
        {"60 zones in two pages", {30, 30}, 126},
        {"the second page is cut", {41, 5}, 126},
        {"pages after a full block add nothing", {42, 1, 1}, 126},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_firmware::reset();
        ASSERT_TRUE(communicator.sendLightData(numberedLightData(c.zonesPerPage)));

        const CommandBlock& block = onlyCall().block;
        EXPECT_EQ(block[0], 3);
        for (std::size_t offset = 1; offset < commandBlockSize; ++offset) {
            const auto expected = offset <= c.bytesWritten ? static_cast<std::uint8_t>(offset) : std::uint8_t{0};
            ASSERT_EQ(block[offset], expected) << "offset " << offset;
        }
    }
}

TEST_F(ColorBlock, FirstByteIsTheHardwareCommand)
{
    struct Case {
        std::int32_t command;
        std::uint8_t byte;
    };
    for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 3}, Case{4, 5}}) {
        SCOPED_TRACE(c.command);
        fake_firmware::reset();
        ASSERT_TRUE(communicator.sendLightData(numberedLightData({2}, c.command)));
        EXPECT_EQ(onlyCall().block, blockOf({c.byte, 1, 2, 3, 4, 5, 6}));
    }
}

TEST_F(ColorBlock, NothingIsSentForLightDataThatCannotBeSent)
{
    struct Case {
        const char* name;
        std::shared_ptr<LightData> lightData;
    };
    const Case cases[] = {
        {"no pages", numberedLightData({})},
        {"command 0", numberedLightData({2}, 0)},
        {"command 5", numberedLightData({2}, 5)},
        {"negative command", numberedLightData({2}, -3)},
        {"no light data", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(communicator.sendLightData(c.lightData));
        EXPECT_TRUE(fake_firmware::calls().empty());
    }
}

TEST_F(ColorBlock, AFirmwareRefusalIsAFailure)
{
    fake_firmware::reset({false});
    EXPECT_FALSE(communicator.sendLightData(numberedLightData({2})));
    EXPECT_EQ(fake_firmware::calls().size(), 1u);
}

// What sendLightDataReporting answers: the channel's failure as it came, and
// the zones of the block when the command reached the firmware.
TEST_F(ColorBlock, ReportsTheFailureAndTheZoneBytesTheFirmwareGot)
{
    // WBEM_E_INVALID_CLASS before the call; RPC_E_DISCONNECTED reading its answer.
    const FirmwareFailure notReached{"GetObject orvBIntM", static_cast<std::int32_t>(0x80041010U), std::nullopt, false};
    const FirmwareFailure answerUnread{"Get OutData", static_cast<std::int32_t>(0x80010108U), std::nullopt, true};
    struct Case {
        const char* name;
        std::optional<FirmwareFailure> answer;
        bool accepted;
        bool zonesGot;
    };
    const Case cases[] = {
        {"accepted", std::nullopt, true, true},
        {"refused", fake_firmware::refused(), false, true},
        {"answer unread after the call went through", answerUnread, false, true},
        {"the call never reached the firmware", notReached, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_firmware::resetWithFailures({c.answer});
        const FirmwareResult result = communicator.sendLightDataReporting(numberedLightData({2}));

        EXPECT_EQ(fake_firmware::calls().size(), 1u);
        EXPECT_EQ(result.accepted, c.accepted);
        ASSERT_EQ(result.failure.has_value(), c.answer.has_value());
        if (c.answer) {
            EXPECT_EQ(result.failure->step, c.answer->step);
            EXPECT_EQ(result.failure->status, c.answer->status);
            EXPECT_EQ(result.failure->returnCode, c.answer->returnCode);
            EXPECT_EQ(result.failure->executed, c.answer->executed);
        }
        using ZoneList = std::vector<std::vector<std::uint8_t>>;
        const ZoneList expected = c.zonesGot ? ZoneList{{1, 2, 3}, {4, 5, 6}} : ZoneList{};
        EXPECT_EQ(zoneBytes(result), expected);
    }
}

TEST_F(ColorBlock, ReportsEveryZoneWrittenAndNoneThatDidNotFit)
{
    struct Case {
        const char* name;
        std::initializer_list<std::uint32_t> zonesPerPage;
        std::size_t zones;
    };
    for (const Case& c : {Case{"one zone", {1}, 1}, Case{"an empty page between", {1, 0, 1}, 2},
                          Case{"only empty pages", {0, 0}, 0}, Case{"43 zones, 42 fit", {43}, 42}}) {
        SCOPED_TRACE(c.name);
        fake_firmware::reset();
        const FirmwareResult result = communicator.sendLightDataReporting(numberedLightData(c.zonesPerPage));
        ASSERT_TRUE(result.accepted);
        const std::vector<std::vector<std::uint8_t>> got = zoneBytes(result);
        ASSERT_EQ(got.size(), c.zones);
        for (std::size_t zone = 0; zone < got.size(); ++zone) {
            const auto first = static_cast<std::uint8_t>(zone * 3 + 1);
            EXPECT_EQ(got[zone], (std::vector<std::uint8_t>{first, static_cast<std::uint8_t>(first + 1),
                                                             static_cast<std::uint8_t>(first + 2)}));
        }
    }
}

TEST_F(ColorBlock, LightDataThatCannotBeSentIsNeitherAcceptedNorAFailure)
{
    for (const auto& lightData : {numberedLightData({}), numberedLightData({2}, 0), std::shared_ptr<LightData>()}) {
        const FirmwareResult result = communicator.sendLightDataReporting(lightData);
        EXPECT_FALSE(result.accepted);
        EXPECT_FALSE(result.failure.has_value()) << "no command was built, so no call failed";
        EXPECT_TRUE(result.zonesGot.empty());
    }
    EXPECT_TRUE(fake_firmware::calls().empty());
}
