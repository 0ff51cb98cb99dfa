#include "discovery/CNetImpl.h"

#include "RecordingFrame.h"
#include "tests/platform/FakeAdapterSource.h"

#include <array>
#include <clocale>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

using test::Address;
using test::FakeAdapterSource;
using test::RecordingFrame;
using Node = RecordingFrame::AdapterNode;

TEST(CNetImplTest, MacTextIsUpperCaseHexPairsJoinedByColons) {
    const std::array<std::uint8_t, 6> mac{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(FormatMacText(mac), u"00:1A:2B:3C:4D:5E");
    const std::array<std::uint8_t, 8> eight{0xFF, 0xEE, 0x0D, 0xC0, 0x0B, 0xA0, 0x09, 0x80};
    EXPECT_EQ(FormatMacText(eight), u"FF:EE:0D:C0:0B:A0:09:80");
    EXPECT_EQ(FormatMacText(std::array<std::uint8_t, 1>{0x07}), u"07");
    EXPECT_EQ(FormatMacText({}), u"");
}

Ipv4Address Mask(const char* text) {
    return Ipv4Address::FromText(text);
}

TEST(CNetImplTest, EachAdapterGetsANodeAndEachAddressAChildInTheSourcesOrder) {
    FakeAdapterSource source({
        {"eth0", {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {Address("192.168.1.20")}},
        {"wlan0",
         {0x02, 0x00, 0x00, 0x00, 0x00, 0x01},
         {Address("10.0.0.5", "255.0.0.0"), Address("10.0.1.5"),
          Address("172.16.0.9", "255.255.255.255")}},
    });
    RecordingFrame frame;
    frame.EnumAdapters(&frame, source);
    EXPECT_EQ(source.Calls(), 1);
    EXPECT_EQ(frame.adapters,
              (std::vector<Node>{
                  {u"eth0", u"00:1A:2B:3C:4D:5E", {{u"192.168.1.20", Mask("255.255.255.0")}}},
                  {u"wlan0",
                   u"02:00:00:00:00:01",
                   {{u"10.0.0.5", Mask("255.0.0.0")},
                    {u"10.0.1.5", Mask("255.255.255.0")},
                    {u"172.16.0.9", Mask("255.255.255.255")}}}}));
}

TEST(CNetImplTest, AdapterWithoutHardwareAddressOrAddressesIsStillListed) {
    FakeAdapterSource source({{"tun0", {}, {Address("0.0.0.0", "0.0.0.0")}}, {"ppp0", {}, {}}});
    RecordingFrame frame;
    frame.EnumAdapters(&frame, source);
    EXPECT_EQ(frame.adapters, (std::vector<Node>{{u"tun0", u"", {{u"0.0.0.0", Ipv4Address()}}},
                                                 {u"ppp0", u"", {}}}));
}

TEST(CNetImplTest, NoAdaptersAddNoNodes) {
    FakeAdapterSource source;
    RecordingFrame frame;
    frame.EnumAdapters(&frame, source);
    EXPECT_TRUE(frame.adapters.empty());
}

#ifdef _WIN32
// Windows descriptions are in the ANSI code page; the suite runs under 1252.
TEST(CNetImplTest, DescriptionsAreConvertedFromTheAnsiCodePage) {
    FakeAdapterSource source({{"R\xE9seau \xFF", {0xAB}, {Address("10.1.1.1")}}});
    RecordingFrame frame;
    frame.EnumAdapters(&frame, source);
    ASSERT_EQ(frame.adapters.size(), 1u);
    EXPECT_EQ(frame.adapters[0].description, u"Réseau \u00FF");
    EXPECT_EQ(frame.adapters[0].macText, u"AB");
}
#else
TEST(CNetImplTest, DescriptionsAreConvertedFromTheLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale C.UTF-8 is not installed";
    }
    FakeAdapterSource source({{"R\xC3\xA9seau \xFF", {0xAB}, {Address("10.1.1.1")}}});
    RecordingFrame frame;
    frame.EnumAdapters(&frame, source);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_EQ(frame.adapters.size(), 1u);
    EXPECT_EQ(frame.adapters[0].description, u"Réseau \uFFFD");
    EXPECT_EQ(frame.adapters[0].macText, u"AB");
}
#endif

} // namespace
} // namespace ferrow
