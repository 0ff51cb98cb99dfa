// A search in both protocols on a namespace LAN: ONVIF devices played by ferrow-recorder
// answer the WS-Discovery probes beside the port-2900 ones, and their hardware addresses
// come from the reply or from this computer's neighbour table.
#include "SearchLan.h"
#include "discovery/CSearchXNRImpl.h"
#include "discovery/DeviceSearch.h"
#include "discovery/ReplyReader.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace ferrow {
namespace {

using namespace std::chrono_literals;
using namespace test;
using Clock = std::chrono::steady_clock;

class OnvifSearchTest : public SearchLanTest {
protected:
    struct Found {
        std::vector<DeviceRecord> replies; // port 2900, read
        std::vector<OnvifDevice> devices;
        SearchEnd end;
        std::chrono::milliseconds took{};
    };

    static Found Search(ProtocolSet protocols) {
        Found found;
        const Clock::time_point start = Clock::now();
        found.end = SearchForDevices(
            LocalAddress(), protocols,
            [&found](std::u16string text) {
                if (auto record = ReadDeviceReply(text)) {
                    found.replies.push_back(std::move(*record));
                }
            },
            [&found](OnvifDevice device) { found.devices.push_back(std::move(device)); });
        found.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        return found;
    }
};

TEST_F(OnvifSearchTest, OneSearchHearsBothProtocolsOfOneDevice) {
    auto recorder = StartRecorder(
        {"--onvif", "--manufacture", "Acme Ü", "--model", "NVR 9", "--http-port", "8080"});
    ASSERT_TRUE(recorder);
    const Found found = Search(ProtocolSet::All());
    ASSERT_EQ(found.replies.size(), 1u);
    EXPECT_EQ(found.replies[0].IP, Wide(kPeer));
    // The device answers both probes, with the same fields.
    ASSERT_GE(found.devices.size(), 1u);
    for (const OnvifDevice& device : found.devices) {
        EXPECT_EQ(device.record,
                  (DeviceRecord{u"Acme Ü", u"NVR 9", Wide(kPeer), Wide(kPeerMac), u"8080"}));
        EXPECT_EQ(device.webScheme, u"http");
    }
    EXPECT_EQ(found.end.reason, SearchEndReason::Quiet);
    EXPECT_EQ(found.end.counts.ignoredNotProbeMatches, 0u);
    // The ONVIF half listens three seconds after its probes, whatever came earlier.
    EXPECT_GE(found.took, 3000ms);
}

TEST_F(OnvifSearchTest, OnlyTheChosenProtocolIsSearched) {
    auto recorder = StartRecorder({"--onvif"});
    ASSERT_TRUE(recorder);
    const Found only2900 = Search(DeviceProtocol::Udp2900);
    EXPECT_EQ(only2900.replies.size(), 1u);
    EXPECT_TRUE(only2900.devices.empty());
    const Found onlyOnvif = Search(DeviceProtocol::Onvif);
    EXPECT_TRUE(onlyOnvif.replies.empty());
    EXPECT_FALSE(onlyOnvif.devices.empty());
    EXPECT_EQ(onlyOnvif.end.counts.ignoredWithoutSignature, 0u);
}

TEST_F(OnvifSearchTest, ADeviceThatAnswersLateIsWaitedFor) {
    auto camera = StartRecorder({"--onvif-only", "--onvif-delay", "2500"});
    ASSERT_TRUE(camera);
    const Found found = Search(ProtocolSet::All());
    EXPECT_TRUE(found.replies.empty());
    ASSERT_FALSE(found.devices.empty());
    // A second of quiet after the last reply, at 2.5 s.
    EXPECT_GE(found.took, 3400ms);
}

TEST_F(OnvifSearchTest, TheMacOfTheReplyStandsAsItIs) {
    auto camera = StartRecorder({"--onvif-only", "--onvif-mac", "AA-BB-CC-00-11-22"});
    ASSERT_TRUE(camera);
    const Found found = Search(DeviceProtocol::Onvif);
    ASSERT_FALSE(found.devices.empty());
    EXPECT_EQ(found.devices[0].record.MAC, u"AA-BB-CC-00-11-22");
}

TEST_F(OnvifSearchTest, ADeviceMissingFromTheNeighbourTableIsResolved) {
    // The device knows this computer's hardware address without asking, so this computer
    // never learns the device's from an ARP request: the search must resolve it.
    ASSERT_EQ(RunProgram({"ip", "neigh", "replace", kLocal, "lladdr", kLocalMac, "dev", "eth0",
                          "nud", "permanent"},
                         m_peer.get()),
              0);
    ASSERT_EQ(RunProgram({"ip", "neigh", "flush", "dev", "lan0"}, nullptr), 0);
    auto camera = StartRecorder({"--onvif-only"});
    ASSERT_TRUE(camera);
    const Found found = Search(DeviceProtocol::Onvif);
    ASSERT_FALSE(found.devices.empty());
    EXPECT_EQ(found.devices[0].record.MAC, Wide(kPeerMac));
}

TEST_F(OnvifSearchTest, ADeviceNamingAnotherAddressGetsNoMacFromTheTable) {
    auto camera = StartRecorder({"--onvif-only", "--onvif-xaddrs", "http://10.41.0.77:81/onvif"});
    ASSERT_TRUE(camera);
    const Found found = Search(DeviceProtocol::Onvif);
    ASSERT_FALSE(found.devices.empty());
    EXPECT_EQ(found.devices[0].record.IP, u"10.41.0.77");
    EXPECT_EQ(found.devices[0].record.HttpPort, u"81");
    EXPECT_EQ(found.devices[0].record.MAC, u"");
}

TEST_F(OnvifSearchTest, RepliesOfEveryKindAreReadAsTheyDeserve) {
    struct Case {
        const char* fault;
        std::size_t leastDevices;
        std::uint64_t ignored;
    };
    for (const Case& reply : {Case{"not-xml", 0, 1}, Case{"not-probematches", 0, 1},
                              Case{"oversize", 1, 0}, Case{"many-matches", 1000, 0}}) {
        SCOPED_TRACE(reply.fault);
        auto camera = StartRecorder({"--onvif-only", "--onvif-fault", reply.fault});
        ASSERT_TRUE(camera);
        const Found found = Search(DeviceProtocol::Onvif);
        EXPECT_GE(found.devices.size(), reply.leastDevices);
        if (reply.leastDevices == 0) {
            EXPECT_TRUE(found.devices.empty());
        }
        // The device answers both probes alike.
        EXPECT_EQ(found.end.counts.ignoredNotProbeMatches, 2 * reply.ignored);
        EXPECT_EQ(found.end.counts.ignoredOversize, 0u);
    }
}

TEST_F(OnvifSearchTest, AFloodOfAnswersEndsTheSearchAtItsBound) {
    auto camera = StartRecorder({"--onvif-only", "--onvif-fault", "flood"});
    ASSERT_TRUE(camera);
    const Found found = Search(DeviceProtocol::Onvif);
    EXPECT_EQ(found.end.reason, SearchEndReason::TimeBound);
    EXPECT_GE(found.took, 9900ms);
    EXPECT_LT(found.took, 20s);
    // Every answer is read and handed on; the 10 s bound ends the search, not the flood.
    EXPECT_GT(found.end.counts.accepted, 100u);
    EXPECT_EQ(found.devices.size(), found.end.counts.accepted);
}

TEST_F(OnvifSearchTest, CancelEndsTheOnvifHalfAtOnce) {
    class Quiet final : public SearchObserver {
    public:
        void OnSearchReply(std::u16string) override {}
        void OnOnvifDevice(OnvifDevice) override {}
        void OnSearchEnd(const SearchEnd&) override {}
    } observer;
    DeviceSearch search(LocalAddress(), DeviceProtocol::Onvif, observer);
    std::this_thread::sleep_for(200ms);
    const Clock::time_point start = Clock::now();
    search.Cancel();
    EXPECT_LT(Clock::now() - start, 500ms);
    EXPECT_EQ(search.Wait().reason, SearchEndReason::Cancelled);
}

} // namespace
} // namespace ferrow
