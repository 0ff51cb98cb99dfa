#include "ProbeCapture.h"
#include "RecordingFrame.h"
#include "SearchLan.h"
#include "UdpPortHolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace ferrow {
namespace {

using namespace std::chrono_literals;
using namespace test;

// The replies handed on, less the probe's own echo (the system may deliver it back).
std::vector<std::u16string> RepliesBeyondEcho(const RecordingFrame& frame) {
    std::vector<std::u16string> replies = frame.replies;
    std::erase(replies, Wide(std::string(kProbeSignatureText)));
    return replies;
}

std::vector<std::u16string> IpTexts(const RecordingFrame& frame) {
    std::vector<std::u16string> ips;
    for (const DeviceRecord& record : frame.devices.Rows()) {
        ips.push_back(record.IP);
    }
    return ips;
}

class CSearchXNRImplTest : public test::SearchLanTest {
protected:
    RecordingFrame m_frame;
};

TEST_F(CSearchXNRImplTest, ProbeIsTheEightSignatureBytesBroadcastOnceFromTheChosenAddress) {
    std::string error;
    auto capture = test::ProbeCapture::Open(m_peer.get(), error);
    ASSERT_TRUE(capture) << error;

    m_frame.TimedSearch(kLocal);

    const auto probe = capture->Next(1s);
    ASSERT_TRUE(probe) << "no probe reached the peer";
    EXPECT_EQ(probe->bytes, std::string("80503736"));
    EXPECT_EQ(probe->destinationAddress, "255.255.255.255");
    EXPECT_EQ(probe->sourceAddress, kLocal);
    EXPECT_NE(probe->sourcePort, 0);
    EXPECT_EQ(probe->ttl, 128);
    EXPECT_FALSE(capture->Next(100ms)) << "the probe is sent once";
}

TEST_F(CSearchXNRImplTest, WithNoRecorderTheSearchEndsAfterOneWaitWithNothingButTheEcho) {
    const auto took = m_frame.TimedSearch(kLocal);
    EXPECT_GE(took, 990ms);
    EXPECT_LT(took, 2500ms);
    EXPECT_EQ(m_frame.searchEnd.reason, SearchEndReason::Quiet);
    EXPECT_TRUE(RepliesBeyondEcho(m_frame).empty());
    EXPECT_LE(m_frame.replies.size(), 1u);
    EXPECT_TRUE(m_frame.devices.Rows().empty());
}

TEST_F(CSearchXNRImplTest, RepliesNineHundredMillisecondsApartAreAllTaken) {
    m_sender->BroadcastLater({{100ms, ReplyBytes("10.41.0.2")},
                              {900ms, ReplyBytes("10.41.0.3")},
                              {900ms, ReplyBytes("10.41.0.4")}});
    const auto took = m_frame.TimedSearch(kLocal);
    EXPECT_EQ(IpTexts(m_frame),
              (std::vector<std::u16string>{u"10.41.0.2", u"10.41.0.3", u"10.41.0.4"}));
    EXPECT_GE(took, 2800ms);
}

TEST_F(CSearchXNRImplTest, ReplyAfterMoreThanOneSecondOfSilenceIsNotTaken) {
    m_sender->BroadcastLater({{100ms, ReplyBytes("10.41.0.2")}, {2000ms, ReplyBytes("10.41.0.3")}});
    const auto took = m_frame.TimedSearch(kLocal);
    EXPECT_EQ(IpTexts(m_frame), std::vector<std::u16string>{u"10.41.0.2"});
    EXPECT_LT(took, 2000ms); // ends about 1100 ms in
}

TEST_F(CSearchXNRImplTest, ShortAndForeignDatagramsAreIgnoredEvenRightAfterAReply) {
    const std::string first = ReplyBytes("10.41.0.2");
    const std::string second = ReplyBytes("10.41.0.3");
    std::string foreign = ReplyBytes("10.41.0.9");
    foreign[7] = '7';
    m_sender->BroadcastLater({{100ms, first},
                              {10ms, "8050"},
                              {10ms, "8050373"},
                              {10ms, foreign},
                              {10ms, "XNR"},
                              {10ms, second}});
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(RepliesBeyondEcho(m_frame), (std::vector{Wide(first), Wide(second)}));
    EXPECT_EQ(m_frame.searchEnd.counts.ignoredWithoutSignature, 4u);
}

TEST_F(CSearchXNRImplTest, ReplyTextEndsAtTheFirstZeroByte) {
    std::string cut = ReplyBytes("10.41.0.2");
    cut.insert(cut.find("<MAC>"), 1, '\0');
    std::string tail = ReplyBytes("10.41.0.3");
    tail += std::string("\0garbage", 8);
    m_sender->BroadcastLater({{100ms, cut}, {10ms, tail}});
    m_frame.TimedSearch(kLocal);
    const std::string cutText = cut.substr(0, cut.find('\0'));
    EXPECT_EQ(RepliesBeyondEcho(m_frame),
              (std::vector{Wide(cutText), Wide(ReplyBytes("10.41.0.3"))}));
    EXPECT_EQ(IpTexts(m_frame), std::vector<std::u16string>{u"10.41.0.3"});
}

class OversizeReplyTest : public CSearchXNRImplTest, public ::testing::WithParamInterface<int> {};

// A stray datagram must not end everyone's search: it is counted, and the replies after
// it are still taken within the usual wait.
TEST_P(OversizeReplyTest, IsSkippedAndCountedAndTheNextReplyIsTaken) {
    std::string big = ReplyBytes("10.41.0.8");
    big.insert(big.size() - 6, static_cast<std::size_t>(GetParam()) - big.size(), ' ');
    ASSERT_EQ(big.size(), static_cast<std::size_t>(GetParam()));
    m_sender->BroadcastLater(
        {{100ms, ReplyBytes("10.41.0.2")}, {100ms, big}, {900ms, ReplyBytes("10.41.0.3")}});
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(IpTexts(m_frame), (std::vector<std::u16string>{u"10.41.0.2", u"10.41.0.3"}));
    EXPECT_EQ(m_frame.searchEnd.counts.ignoredOversize, 1u);
    EXPECT_EQ(m_frame.searchEnd.reason, SearchEndReason::Quiet);
}

INSTANTIATE_TEST_SUITE_P(Sizes, OversizeReplyTest, ::testing::Values(1025, 1500));

TEST_F(CSearchXNRImplTest, ReplyOfExactlyTheBufferSizeIsTaken) {
    std::string full = ReplyBytes("10.41.0.8");
    full.insert(full.size() - 6, kReceiveBufferSize - full.size(), ' ');
    m_sender->BroadcastLater({{100ms, full}, {100ms, ReplyBytes("10.41.0.3")}});
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(IpTexts(m_frame), (std::vector<std::u16string>{u"10.41.0.8", u"10.41.0.3"}));
    EXPECT_EQ(m_frame.searchEnd.counts.ignoredOversize, 0u);
}

TEST_F(CSearchXNRImplTest, ZeroLengthDatagramIsSkippedAndCounted) {
    m_sender->BroadcastLater(
        {{100ms, ReplyBytes("10.41.0.2")}, {100ms, ""}, {900ms, ReplyBytes("10.41.0.3")}});
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(IpTexts(m_frame), (std::vector<std::u16string>{u"10.41.0.2", u"10.41.0.3"}));
    EXPECT_EQ(m_frame.searchEnd.counts.ignoredEmpty, 1u);
}

TEST_F(CSearchXNRImplTest, PortHeldWithoutAddressReuseEndsTheSearchBeforeAnythingIsSent) {
    std::string error;
    auto holder = test::UdpPortHolder::Hold(kDiscoveryPort, nullptr, error);
    ASSERT_TRUE(holder) << error;
    auto capture = test::ProbeCapture::Open(m_peer.get(), error);
    ASSERT_TRUE(capture) << error;

    const auto took = m_frame.TimedSearch(kLocal);
    EXPECT_LT(took, 500ms) << "not at once, but after a wait";
    EXPECT_FALSE(capture->Next(300ms)) << "a probe was sent";
    EXPECT_EQ(m_frame.searchEnd.reason, SearchEndReason::PortInUse);
    EXPECT_TRUE(m_frame.replies.empty());
}

TEST_F(CSearchXNRImplTest, AddressThatIsNotLocalEndsTheSearchAtOnce) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << "Wine 8 binds a UDP socket to an address that no interface has, where "
                        "Windows refuses it";
    }
    const auto took = m_frame.TimedSearch("10.41.0.77");
    EXPECT_LT(took, 500ms) << "not at once, but after a wait";
    EXPECT_EQ(m_frame.searchEnd.reason, SearchEndReason::AddressNotLocal);
    EXPECT_TRUE(m_frame.replies.empty());
}

// With non-local binding allowed (in this namespace only), a foreign address can be bound
// but a broadcast from it has no way out: the probe send fails.
TEST_F(CSearchXNRImplTest, ProbeThatCannotBeSentEndsTheSearchAtOnce) {
    std::string error;
    ASSERT_EQ(test::RunProgram({"sh", "-c", "echo 1 >/proc/sys/net/ipv4/ip_nonlocal_bind"}, nullptr,
                               &error),
              0)
        << "cannot allow non-local binding: " << error;
    auto capture = test::ProbeCapture::Open(m_peer.get(), error);
    ASSERT_TRUE(capture) << error;
    m_sender->BroadcastLater({{1s, ReplyBytes("10.41.0.2")}});

    const auto took = m_frame.TimedSearch("10.41.0.77");
    EXPECT_EQ(m_frame.searchEnd.reason, SearchEndReason::ProbeNotSent);
    EXPECT_LT(took, 300ms) << "the search waited for the reply";
    EXPECT_TRUE(m_frame.replies.empty());
    while (const auto seen = capture->Next(100ms)) {
        EXPECT_NE(seen->bytes, "80503736") << "a probe was sent";
    }
}

TEST_F(CSearchXNRImplTest, ReplyArrivingThroughASecondAdapterIsTaken) {
    auto other = AddPeer("lan1", "10.42.0.1", "10.42.0.2");
    ASSERT_TRUE(other);
    std::string error;
    auto otherSender = DatagramSender::Open(other.get(), "10.42.0.2", error);
    ASSERT_TRUE(otherSender) << error;
    auto otherCapture = test::ProbeCapture::Open(other.get(), error);
    ASSERT_TRUE(otherCapture) << error;

    otherSender->BroadcastLater({{200ms, ReplyBytes("10.42.0.2")}});
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(IpTexts(m_frame), std::vector<std::u16string>{u"10.42.0.2"});
    // The probe itself left only through the chosen address's adapter.
    while (const auto seen = otherCapture->Next(50ms)) {
        EXPECT_NE(seen->bytes, "80503736");
    }
}

TEST_F(CSearchXNRImplTest, SearchEndsTenSecondsAfterTheProbeWhateverKeepsArriving) {
    auto chatty = StartRecorder({"--fault", "chatty", "--gap", "250"});
    ASSERT_TRUE(chatty);
    const auto took = m_frame.TimedSearch(kLocal);
    EXPECT_GE(took, 9900ms);
    EXPECT_LT(took, 11500ms);
    EXPECT_GT(RepliesBeyondEcho(m_frame).size(), 20u);
    EXPECT_EQ(m_frame.devices.Rows().size(), 1u);
}

TEST_F(CSearchXNRImplTest, RecordersPlayedByTheSimulatorBecomeRecordsOncePerIp) {
    auto recorder = StartRecorder({"--count", "3", "--repeat", "2", "--model", "X&Y"});
    ASSERT_TRUE(recorder);
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(RepliesBeyondEcho(m_frame).size(), 6u);
    ASSERT_EQ(m_frame.devices.Rows().size(), 3u);
    const std::u16string ips[] = {u"10.41.0.2", u"10.41.0.3", u"10.41.0.4"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m_frame.devices.Rows()[i],
                  (DeviceRecord{u"Ferrow", u"X&Y", ips[i], u"02:00:00:00:41:02", u"80"}));
    }
    EXPECT_EQ(recorder->Stop(), 0) << "the simulator ends cleanly on SIGTERM";
}

TEST_F(CSearchXNRImplTest, RecorderAnsweringAfterADelayIsHeard) {
    auto recorder = StartRecorder({"--delay", "600", "--http-port", "8080", "--ip", "cam-1"});
    ASSERT_TRUE(recorder);
    const auto took = m_frame.TimedSearch(kLocal);
    ASSERT_EQ(m_frame.devices.Rows().size(), 1u);
    EXPECT_EQ(m_frame.devices.Rows()[0].IP, u"cam-1");
    EXPECT_EQ(m_frame.devices.Rows()[0].HttpPort, u"8080");
    EXPECT_GE(took, 1550ms);
}

struct FaultCase {
    const char* fault;
    std::size_t repliesHandedOn;
    std::size_t records;

    friend void PrintTo(const FaultCase& faultCase, std::ostream* out) { *out << faultCase.fault; }
};

class RecorderFaultTest : public CSearchXNRImplTest,
                          public ::testing::WithParamInterface<FaultCase> {};

TEST_P(RecorderFaultTest, RepliesAreHandedOnAndReadAsTheyDeserve) {
    auto recorder = StartRecorder({"--count", "3", "--fault", GetParam().fault});
    ASSERT_TRUE(recorder);
    m_frame.TimedSearch(kLocal);
    EXPECT_EQ(RepliesBeyondEcho(m_frame).size(), GetParam().repliesHandedOn);
    EXPECT_EQ(m_frame.devices.Rows().size(), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(Faults, RecorderFaultTest,
                         ::testing::Values(FaultCase{"none", 3, 3}, FaultCase{"no-signature", 0, 0},
                                           FaultCase{"truncated", 3, 0},
                                           FaultCase{"nul-inside", 3, 0},
                                           FaultCase{"wrong-root", 3, 0},
                                           FaultCase{"duplicate-ip", 3, 1},
                                           FaultCase{"oversize", 0, 0}),
                         [](const auto& testCase) {
                             std::string name = testCase.param.fault;
                             std::erase(name, '-');
                             return name;
                         });

// The frame is slow on the first reply, as a window busy drawing would be, while a
// thousand recorders answer at once: the receive queue must hold them all meanwhile.
TEST_F(CSearchXNRImplTest, BurstOfRepliesWaitingForASlowFrameIsNotLost) {
    auto recorder = StartRecorder({"--count", "1000"});
    ASSERT_TRUE(recorder);
    class SlowFrame : public CSearchXNRImpl<SlowFrame> {
    public:
        void OnDeviceReply(std::u16string replyText) {
            if (replies++ == 0) {
                std::this_thread::sleep_for(300ms);
            }
            if (const auto record = ReadDeviceReply(replyText)) {
                devices.Add(*record);
            }
        }
        int replies = 0;
        DeviceCollection<DeviceRecord> devices;
    } frame;
    frame.SearchOnAddress(kLocal, &frame);
    EXPECT_EQ(frame.devices.Rows().size(), 1000u);
}

} // namespace
} // namespace ferrow
