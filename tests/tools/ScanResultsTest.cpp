#include "tools/scan/ScanResults.h"

#include "tests/platform/FakeAdapterSource.h"
#include "tools/scan/ScanFrame.h"

#include <gtest/gtest.h>
#include <sstream>

namespace ferrow {
namespace {

constexpr auto Added = AddOutcome::Added;
constexpr auto AlreadyListed = AddOutcome::AlreadyListed;

DeviceRecord Recorder(std::u16string ip, std::u16string model = u"NVR") {
    return {u"Acme", std::move(model), std::move(ip), u"00:11:22:33:44:55", u"80"};
}

// The rule itself is DeviceCollection's; here only that a row is known by its recorder's
// IP text, not by the search that heard it.
TEST(ScanResults, OneRowPerRecorderKeptFromTheFirstSearchThatHeardIt) {
    ScanResults results;
    EXPECT_EQ(results.Add({Recorder(u"10.0.0.20"), u"10.0.0.1"}).outcome, Added);
    EXPECT_EQ(results.Add({Recorder(u"10.0.1.30"), u"10.0.0.1"}).outcome, Added);
    EXPECT_EQ(results.Add({Recorder(u"10.0.0.20", u"Other"), u"10.0.1.1"}).outcome, AlreadyListed);
    EXPECT_EQ(results.Rows(), (std::vector<DeviceRow>{{Recorder(u"10.0.0.20"), u"10.0.0.1"},
                                                      {Recorder(u"10.0.1.30"), u"10.0.0.1"}}));
}

TEST(AdapterListing, WritesTheWindowsTree) {
    AdapterListing listing;
    const std::size_t first = listing.AddAdapter(u"eth0", u"00:1A:2B:3C:4D:5E");
    const std::size_t second = listing.AddAdapter(u"wlan0", u"");
    listing.AddAddress(first, u"192.168.1.20", {});
    listing.AddAddress(second, u"10.0.0.5", {});
    listing.AddAddress(second, u"10.0.0.6", {});
    std::ostringstream out;
    listing.Write(out);
    EXPECT_EQ(out.str(), "Computer\n"
                         "  eth0 (00:1A:2B:3C:4D:5E)\n"
                         "    192.168.1.20\n"
                         "  wlan0 ()\n"
                         "    10.0.0.5\n"
                         "    10.0.0.6\n");
}

std::vector<std::string> Texts(const std::vector<Ipv4Address>& addresses) {
    std::vector<std::string> texts;
    for (const Ipv4Address address : addresses) {
        texts.push_back(address.Text());
    }
    return texts;
}

TEST(AdapterListing, SearchesEveryAddressOnceAndSkipsTheEmptyOne) {
    AdapterListing listing;
    const std::size_t a = listing.AddAdapter(u"a", u"");
    const std::size_t b = listing.AddAdapter(u"b", u"");
    const std::size_t c = listing.AddAdapter(u"c", u"");
    listing.AddAddress(a, u"10.0.0.2", {});
    listing.AddAddress(a, u"10.0.0.1", {});
    listing.AddAddress(b, u"0.0.0.0", {});
    listing.AddAddress(c, u"10.0.0.2", {});
    listing.AddAddress(c, u"172.16.0.1", {});
    EXPECT_EQ(Texts(listing.SearchableAddresses()),
              (std::vector<std::string>{"10.0.0.2", "10.0.0.1", "172.16.0.1"}));
}

class FakeAdapters : public AdapterSource {
public:
    std::vector<AdapterInfo> ListAdapters() const override {
        return {{"veth-a", {0x02, 0x00, 0x0A, 0xFF, 0x00, 0x01}, {test::Address("10.1.0.1")}},
                {"dummy", {}, {test::Address("0.0.0.0", "0.0.0.0")}},
                {"veth-b",
                 {0xAB},
                 {test::Address("10.2.0.1"), test::Address("10.2.0.2", "255.255.0.0")}}};
    }
};

TEST(ScanFrame, FillsItsTreeThroughTheAdapterEnumeration) {
    ScanFrame frame;
    frame.EnumAdapters(&frame, FakeAdapters{});
    std::ostringstream out;
    frame.Adapters().Write(out);
    EXPECT_EQ(out.str(), "Computer\n"
                         "  veth-a (02:00:0A:FF:00:01)\n"
                         "    10.1.0.1\n"
                         "  dummy ()\n"
                         "    0.0.0.0\n"
                         "  veth-b (AB)\n"
                         "    10.2.0.1\n"
                         "    10.2.0.2\n");
    EXPECT_EQ(Texts(frame.Adapters().SearchableAddresses()),
              (std::vector<std::string>{"10.1.0.1", "10.2.0.1", "10.2.0.2"}));
    // The netmask a search's rows carry: the one listed with its address.
    EXPECT_EQ(frame.Adapters().NetmaskOf(Ipv4Address::FromText("10.2.0.2")).Text(), "255.255.0.0");
    EXPECT_EQ(frame.Adapters().NetmaskOf(Ipv4Address::FromText("10.2.0.1")).Text(),
              "255.255.255.0");
    EXPECT_EQ(frame.Adapters().NetmaskOf(Ipv4Address::FromText("10.9.0.1")), Ipv4Address());
}

TEST(ScanFrame, ReadsRepliesAsTheWindowDoes) {
    ScanFrame frame;
    frame.OnDeviceReply(u"80503736<XNR><HttpPort>81</HttpPort><IP>10.0.0.7</IP>"
                        u"<Manufacture>A &amp; B</Manufacture><Model>M1</Model></XNR>");
    frame.OnDeviceReply(u"80503736<Other><IP>10.0.0.8</IP></Other>"); // wrong root
    frame.OnDeviceReply(u"80503736<XNR><IP>10.0.0.9</IP>");           // not well-formed
    frame.OnDeviceReply(u"80503736<XNR><IP>10.0.0.7</IP><Model>M2</Model></XNR>");
    const std::vector<DeviceRow>& rows = frame.Results().Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].record, (DeviceRecord{u"A & B", u"M1", u"10.0.0.7", u"", u"81"}));
}

TEST(ScanFrame, AnOnvifDeviceOfAListedIpMergesIntoItsRow) {
    ScanFrame frame;
    frame.OnDeviceReply(u"80503736<XNR><IP>10.0.0.7</IP><Model>M1</Model></XNR>");
    frame.OnOnvifDevice({{u"Cam Co", u"C2", u"10.0.0.7", u"02:00:00:00:00:07", u"443"}, u"https"});
    frame.OnOnvifDevice({{u"Cam Co", u"C3", u"10.0.0.8", u"", u"80"}, u"http"});
    const std::vector<DeviceRow>& rows = frame.Results().Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].record,
              (DeviceRecord{u"Cam Co", u"M1", u"10.0.0.7", u"02:00:00:00:00:07", u"443"}));
    EXPECT_EQ(rows[0].webScheme, u"https");
    EXPECT_EQ(rows[0].protocols, ProtocolSet::All());
    EXPECT_EQ(rows[1].protocols, DeviceProtocol::Onvif);
}

} // namespace
} // namespace ferrow
