#include "platform/Ipv4Network.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

Ipv4Address At(const char* text) {
    return Ipv4Address::FromText(text);
}

TEST(Ipv4NetworkTest, ANetmaskGivesTheNetworkAndWhatItContains) {
    const Ipv4Network eight = Ipv4Network::OfNetmask(At("10.1.2.3"), At("255.0.0.0"));
    EXPECT_EQ(eight.Text(), "10.0.0.0/8");
    EXPECT_TRUE(eight.Contains(At("10.255.0.1")));
    EXPECT_FALSE(eight.Contains(At("11.1.2.3")));

    const Ipv4Network twenty = Ipv4Network::OfNetmask(At("172.16.37.9"), At("255.255.240.0"));
    EXPECT_EQ(twenty.Text(), "172.16.32.0/20");
    EXPECT_TRUE(twenty.Contains(At("172.16.47.255")));
    EXPECT_FALSE(twenty.Contains(At("172.16.48.0")));

    EXPECT_EQ(Ipv4Network::OfPrefix(At("192.168.0.20"), 24).Text(), "192.168.0.0/24");
}

TEST(Ipv4NetworkTest, EdgeMasksHoldOneAddressOrEvery) {
    const Ipv4Network host = Ipv4Network::OfNetmask(At("10.1.2.3"), At("255.255.255.255"));
    EXPECT_EQ(host.Text(), "10.1.2.3/32");
    EXPECT_TRUE(host.Contains(At("10.1.2.3")));
    EXPECT_FALSE(host.Contains(At("10.1.2.4")));

    const Ipv4Network every = Ipv4Network::OfNetmask(At("10.1.2.3"), At("0.0.0.0"));
    EXPECT_EQ(every.Text(), "0.0.0.0/0");
    EXPECT_TRUE(every.Contains(At("203.0.113.9")));
}

// Ones that do not stand together count by the leading ones: the network surely spanned.
TEST(Ipv4NetworkTest, ANonContiguousMaskCountsByItsLeadingOnes) {
    const Ipv4Network network = Ipv4Network::OfNetmask(At("10.1.2.3"), At("255.0.255.0"));
    EXPECT_EQ(network.PrefixLength(), 8);
    EXPECT_TRUE(network.Contains(At("10.9.9.9")));
    EXPECT_FALSE(network.Contains(At("11.1.2.3")));
}

} // namespace
} // namespace ferrow
