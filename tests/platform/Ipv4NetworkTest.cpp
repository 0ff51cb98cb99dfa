#include "platform/Ipv4Network.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

Ipv4Address At(const char* text) {
    return Ipv4Address::FromText(text);
}

// A non-contiguous mask counts by its leading ones: the network it surely spans.
TEST(Ipv4NetworkTest, ANetmaskGivesTheNetworkItsTextAndWhatItContains) {
    struct Case {
        const char* netmask;
        const char* text;
        const char* inside;
        const char* outside;
    };
    for (const Case& c : {Case{"255.0.0.0", "10.0.0.0/8", "10.255.0.1", "11.1.2.3"},
                          Case{"255.255.240.0", "10.1.0.0/20", "10.1.15.255", "10.1.16.0"},
                          Case{"255.255.255.255", "10.1.2.3/32", "10.1.2.3", "10.1.2.4"},
                          Case{"255.0.255.0", "10.0.0.0/8", "10.9.9.9", "11.1.2.3"},
                          Case{"0.0.0.0", "0.0.0.0/0", "203.0.113.9", nullptr}}) {
        const Ipv4Network network = Ipv4Network::OfNetmask(At("10.1.2.3"), At(c.netmask));
        EXPECT_EQ(network.Text(), c.text);
        EXPECT_TRUE(network.Contains(At(c.inside))) << c.text;
        EXPECT_TRUE(c.outside == nullptr || !network.Contains(At(c.outside))) << c.text;
    }
    EXPECT_EQ(Ipv4Network::OfPrefix(At("192.168.0.20"), 24).Text(), "192.168.0.0/24");
}

} // namespace
} // namespace ferrow
