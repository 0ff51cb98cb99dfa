#include "platform/AdapterSource.h"

#include "ChildProcess.h"
#include "NetworkNamespace.h"
#include "tests/discovery/RecordingFrame.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

using test::RecordingFrame;

// The adapters of ours (named lan*); a fresh namespace may also hold tunnel devices that
// the kernel adds to every namespace.
std::vector<AdapterInfo> OurAdapters(std::vector<AdapterInfo> adapters) {
    std::erase_if(adapters, [](const AdapterInfo& adapter) {
        return !adapter.description.starts_with("lan");
    });
    return adapters;
}

// An address label ("lan0:web") belongs to its interface; labels are Linux's own.
#ifdef _WIN32
const std::vector<std::string> kThirdAddress{"ip", "addr", "add", "10.20.2.1/32", "dev", "lan0"};
#else
const std::vector<std::string> kThirdAddress{"ip",  "addr", "add",   "10.20.2.1/32",
                                             "dev", "lan0", "label", "lan0:web"};
#endif

class AdapterSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        FERROW_ENTER_PRIVATE_NETWORK();
        std::string error;
        m_peer = test::NetworkNamespace::Create(error);
        ASSERT_TRUE(m_peer) << error;
        // lan1 is made first so that its index comes first, whatever the names' order.
        test::VethOptions withoutAddress("lan1", "", "");
        withoutAddress.localMac = "02:00:00:00:0b:01";
        withoutAddress.peerName = "eth1";
        ASSERT_TRUE(test::ConnectVeth(*m_peer, withoutAddress, error)) << error;
        test::VethOptions withAddresses("lan0", "10.20.0.1/24", "10.20.0.2/24");
        withAddresses.localMac = "02:00:00:00:0A:01";
        ASSERT_TRUE(test::ConnectVeth(*m_peer, withAddresses, error)) << error;
        ASSERT_EQ(test::RunProgram({"ip", "addr", "add", "10.20.17.1/20", "dev", "lan0"}, nullptr),
                  0);
        ASSERT_EQ(test::RunProgram(kThirdAddress, nullptr), 0);
    }

    std::unique_ptr<test::NetworkNamespace> m_peer;
};

Ipv4Address Mask(const char* text) {
    return Ipv4Address::FromText(text);
}

TEST_F(AdapterSourceTest, ListsInterfacesInIndexOrderWithTheirHardwareAndIpv4Addresses) {
    const std::vector<AdapterInfo> all = SystemAdapterSource{}.ListAdapters();
    EXPECT_TRUE(std::none_of(all.begin(), all.end(), [](const AdapterInfo& adapter) {
        return adapter.description == "lo";
    })) << "the loopback interface is left out";

    const std::vector<AdapterInfo> ours = OurAdapters(all);
    ASSERT_EQ(ours.size(), 2u);
    EXPECT_EQ(ours[0].description, "lan1");
    EXPECT_EQ(ours[0].hardwareAddress, (std::vector<std::uint8_t>{2, 0, 0, 0, 0x0B, 1}));
    EXPECT_EQ(ours[0].ipv4Addresses, (std::vector<AdapterAddress>{{"0.0.0.0", Ipv4Address()}}));
    EXPECT_EQ(ours[1].description, "lan0");
    EXPECT_EQ(ours[1].hardwareAddress, (std::vector<std::uint8_t>{2, 0, 0, 0, 0x0A, 1}));
    EXPECT_EQ(ours[1].ipv4Addresses,
              (std::vector<AdapterAddress>{{"10.20.0.1", Mask("255.255.255.0")},
                                           {"10.20.17.1", Mask("255.255.240.0")},
                                           {"10.20.2.1", Mask("255.255.255.255")}}));
}

TEST_F(AdapterSourceTest, TheFrameGetsTheSystemsAdaptersThroughEnumAdapters) {
    RecordingFrame frame;
    frame.EnumAdapters(&frame);
    std::erase_if(frame.adapters, [](const RecordingFrame::AdapterNode& node) {
        return !node.description.starts_with(u"lan");
    });
    ASSERT_EQ(frame.adapters.size(), 2u);
    EXPECT_EQ(frame.adapters[0].description, u"lan1");
    EXPECT_EQ(frame.adapters[0].macText, u"02:00:00:00:0B:01");
    using Node = RecordingFrame::AddressNode;
    EXPECT_EQ(frame.adapters[0].addresses, (std::vector<Node>{{u"0.0.0.0", Ipv4Address()}}));
    EXPECT_EQ(frame.adapters[1].description, u"lan0");
    EXPECT_EQ(frame.adapters[1].macText, u"02:00:00:00:0A:01");
    EXPECT_EQ(frame.adapters[1].addresses,
              (std::vector<Node>{{u"10.20.0.1", Mask("255.255.255.0")},
                                 {u"10.20.17.1", Mask("255.255.240.0")},
                                 {u"10.20.2.1", Mask("255.255.255.255")}}));
}

} // namespace
} // namespace ferrow
