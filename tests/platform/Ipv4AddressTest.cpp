#include "platform/Ipv4Address.h"

#include "platform/SocketApi.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

TEST(Ipv4AddressTest, DottedTextGivesTheAddressInNetworkOrder) {
    EXPECT_EQ(Ipv4Address::FromText("192.168.1.20").NetworkOrder(), htonl(0xC0A80114u));
    EXPECT_EQ(Ipv4Address::FromText("0.0.0.0").NetworkOrder(), 0u);
    EXPECT_EQ(Ipv4Address::FromText("127.0.0.1").NetworkOrder(), htonl(INADDR_LOOPBACK));
}

TEST(Ipv4AddressTest, ShortAndNumericFormsReadAsInetAddrReadsThem) {
    EXPECT_EQ(Ipv4Address::FromText("10.1").NetworkOrder(), htonl(0x0A000001u));
    EXPECT_EQ(Ipv4Address::FromText("10.1.2").NetworkOrder(), htonl(0x0A010002u));
    EXPECT_EQ(Ipv4Address::FromText("0x7f.1").NetworkOrder(), htonl(0x7F000001u));
    EXPECT_EQ(Ipv4Address::FromText("010.0.0.1").NetworkOrder(), htonl(0x08000001u));
}

TEST(Ipv4AddressTest, TextThatIsNoAddressGivesNone) {
    EXPECT_EQ(Ipv4Address::FromText("256.1.1.1").NetworkOrder(), INADDR_NONE);
    EXPECT_EQ(Ipv4Address::FromText("recorder").NetworkOrder(), INADDR_NONE);
    EXPECT_EQ(Ipv4Address::FromText("1.2.3.4.5").NetworkOrder(), INADDR_NONE);
}

TEST(Ipv4AddressTest, AddressGivesDottedDecimalText) {
    EXPECT_EQ(Ipv4Address::FromNetworkOrder(htonl(0xC0A80114u)).Text(), "192.168.1.20");
    EXPECT_EQ(Ipv4Address::FromNetworkOrder(0).Text(), "0.0.0.0");
    EXPECT_EQ(Ipv4Address::FromNetworkOrder(0xFFFFFFFFu).Text(), "255.255.255.255");
    EXPECT_EQ(Ipv4Address::FromNetworkOrder(htonl(0x0A00FF01u)).Text(), "10.0.255.1");
}

TEST(Ipv4AddressTest, TextAndAddressRoundTrip) {
    for (const std::uint32_t host : {0x01020304u, 0x7F000001u, 0xAC1F0A63u, 0xFFFFFFFEu}) {
        const Ipv4Address address = Ipv4Address::FromNetworkOrder(htonl(host));
        EXPECT_EQ(Ipv4Address::FromText(address.Text()), address);
    }
}

TEST(Ipv4AddressTest, OnlyPlainDottedDecimalTextIsAnAddress) {
    EXPECT_EQ(Ipv4Address::FromDottedQuad<char16_t>(u"192.168.0.20"),
              Ipv4Address::FromText("192.168.0.20"));
    EXPECT_EQ(Ipv4Address::FromDottedQuad<char16_t>(u"0.0.0.0"), Ipv4Address::FromText("0.0.0.0"));
    EXPECT_EQ(Ipv4Address::FromDottedQuad<char16_t>(u"255.255.255.255"),
              Ipv4Address::FromText("255.255.255.255"));
    for (const char16_t* text :
         {u"", u"10.1.2", u"10.1.2.3.4", u"010.1.2.3", u"0x0a.1.2.3", u"256.1.2.3", u"1000.1.2.3",
          u" 10.1.2.3", u"10.1.2.3 ", u"10..2.3", u"10.1.2.", u"nvr.local", u"\uFF11.1.2.3"}) {
        EXPECT_FALSE(Ipv4Address::FromDottedQuad<char16_t>(text).has_value())
            << std::u16string_view(text).size();
    }
}

TEST(Ipv4AddressTest, OnlyTheAddressOfNoAdapterCannotBeSearchedFrom) {
    EXPECT_FALSE(Ipv4Address::FromText("0.0.0.0").CanSearchFrom());
    EXPECT_FALSE(Ipv4Address().CanSearchFrom());
    EXPECT_TRUE(Ipv4Address::FromText("10.0.0.1").CanSearchFrom());
    EXPECT_TRUE(Ipv4Address::FromText("0.0.0.1").CanSearchFrom());
}

} // namespace
} // namespace ferrow
