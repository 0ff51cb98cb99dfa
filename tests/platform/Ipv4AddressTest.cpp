#include "platform/Ipv4Address.h"

#include "platform/SocketApi.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

TEST(Ipv4AddressTest, DottedTextGivesTheAddressInNetworkOrder) {
    EXPECT_EQ(Ipv4FromText("192.168.1.20"), htonl(0xC0A80114u));
    EXPECT_EQ(Ipv4FromText("0.0.0.0"), 0u);
    EXPECT_EQ(Ipv4FromText("127.0.0.1"), htonl(INADDR_LOOPBACK));
}

TEST(Ipv4AddressTest, ShortAndNumericFormsReadAsInetAddrReadsThem) {
    EXPECT_EQ(Ipv4FromText("10.1"), htonl(0x0A000001u));
    EXPECT_EQ(Ipv4FromText("10.1.2"), htonl(0x0A010002u));
    EXPECT_EQ(Ipv4FromText("0x7f.1"), htonl(0x7F000001u));
    EXPECT_EQ(Ipv4FromText("010.0.0.1"), htonl(0x08000001u));
}

TEST(Ipv4AddressTest, TextThatIsNoAddressGivesNone) {
    EXPECT_EQ(Ipv4FromText("256.1.1.1"), INADDR_NONE);
    EXPECT_EQ(Ipv4FromText("recorder"), INADDR_NONE);
    EXPECT_EQ(Ipv4FromText("1.2.3.4.5"), INADDR_NONE);
}

TEST(Ipv4AddressTest, AddressGivesDottedDecimalText) {
    EXPECT_EQ(Ipv4ToText(htonl(0xC0A80114u)), "192.168.1.20");
    EXPECT_EQ(Ipv4ToText(0), "0.0.0.0");
    EXPECT_EQ(Ipv4ToText(0xFFFFFFFFu), "255.255.255.255");
    EXPECT_EQ(Ipv4ToText(htonl(0x0A00FF01u)), "10.0.255.1");
}

TEST(Ipv4AddressTest, TextAndAddressRoundTrip) {
    for (const std::uint32_t host : {0x01020304u, 0x7F000001u, 0xAC1F0A63u, 0xFFFFFFFEu}) {
        EXPECT_EQ(Ipv4FromText(Ipv4ToText(htonl(host))), htonl(host));
    }
}

} // namespace
} // namespace ferrow
