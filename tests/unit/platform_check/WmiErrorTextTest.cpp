#include "platform_check/WmiErrorText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::int32_t code(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

struct MessageCase {
    std::uint32_t code;
    std::string message;
};

void PrintTo(const MessageCase& message, std::ostream* out)
{
    *out << std::hex << message.code;
}

class ConnectServerMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ConnectServerMessages, NameTheFailure)
{
    EXPECT_EQ(connectServerErrorMessage(code(GetParam().code)), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(WmiErrorText, ConnectServerMessages, ::testing::Values(
    MessageCase{0x80041003, "PlatformCheck::connectWMINamespace: user name or password not valid or authorized"},
    MessageCase{0x80041001, "PlatformCheck::connectWMINamespace: unspecified error"},
    MessageCase{0x8004100E, "PlatformCheck::connectWMINamespace: invalid namespace on server"},
    MessageCase{0x80041008, "PlatformCheck::connectWMINamespace:  invalid parameter was specified"},
    MessageCase{0x80041006, "PlatformCheck::connectWMINamespace: not enough memory to complete operation"},
    MessageCase{0x80041015, "PlatformCheck::connectWMINamespace: RPC call failure to WMI"},
    MessageCase{0x80041064, "PlatformCheck::connectWMINamespace: Local Credential Error"},
    MessageCase{0x80041002, "PlatformCheck::connectWMINamespace: ConnectServer error: 0x80041002"},
    MessageCase{0x00000001, "PlatformCheck::connectWMINamespace: ConnectServer error: 0x1"}));

class LocatorMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(LocatorMessages, NameTheFailure)
{
    EXPECT_EQ(locatorErrorMessage(code(GetParam().code)), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(WmiErrorText, LocatorMessages, ::testing::Values(
    MessageCase{0x80040154, "PlatformCheck::connectWMINamespace: WbemLocator not registered in the registration database"},
    MessageCase{0x80004002, "PlatformCheck::connectWMINamespace: WbemLocator interface is not exposed"},
    MessageCase{0x80070005, "PlatformCheck::connectWMINamespace: CoCreateInstance error: 0x80070005"}));

} // namespace
