#include "discovery/CMulticastConnection.h"

#include "DatagramSender.h"
#include "NetworkNamespace.h"
#include "ProbeCapture.h"
#include "UdpPortHolder.h"
#include "discovery/DiscoveryProtocol.h"
#include "platform/Ipv4Address.h"

#include <chrono>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kLocal = "10.31.0.1";
constexpr const char* kPeer = "10.31.0.2";

constexpr const char* kWineBindsAnyAddress =
    "Wine 8 binds a UDP socket to an address that no interface has, where Windows refuses it";

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// Whether the handle still names an open socket.
bool IsOpenSocket(SocketHandle socket) {
    int type = 0;
    socklen_t length = sizeof type;
    return ::getsockopt(socket, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length) == 0;
}

// The test's namespace with one veth link to a peer namespace.
class CMulticastConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        FERROW_ENTER_PRIVATE_NETWORK();
        std::string error;
        m_peer = test::ConnectPeer(
            {"lan0", std::string(kLocal) + "/24", std::string(kPeer) + "/24"}, error);
        ASSERT_TRUE(m_peer) << error;
        m_sender = test::DatagramSender::Open(m_peer.get(), kPeer, error);
        ASSERT_TRUE(m_sender) << error;
    }

    bool OpenOnLocal(CMulticastConnection& connection, int timeoutMs = kWaitTimeoutMs) {
        return connection.Open(Ipv4Address::FromText(kLocal).NetworkOrder(), htonl(INADDR_ANY), 0,
                               kDiscoveryPort, true, timeoutMs);
    }

    // Sends the datagram from the peer and waits until the endpoint can read it.
    void SendFromPeer(CMulticastConnection& connection, const std::string& bytes) {
        ASSERT_TRUE(m_sender->Broadcast(bytes));
        ASSERT_EQ(connection.WaitReadable(2000), 0);
    }

    std::unique_ptr<test::NetworkNamespace> m_peer;
    std::unique_ptr<test::DatagramSender> m_sender;
    char m_buffer[kReceiveBufferSize + 1] = {};
};

TEST_F(CMulticastConnectionTest, OpenBindsTheSendingSocketToTheLocalAddressAndReceivesOnThePort) {
    std::string error;
    auto capture = test::ProbeCapture::Open(m_peer.get(), error);
    ASSERT_TRUE(capture) << error;

    CMulticastConnection connection;
    ASSERT_TRUE(OpenOnLocal(connection));
    EXPECT_TRUE(connection.IsOpen());
    const sockaddr_in& address = connection.LastAddress();
    EXPECT_EQ(address.sin_family, AF_INET);
    EXPECT_EQ(address.sin_addr.s_addr, htonl(INADDR_ANY));
    EXPECT_EQ(ntohs(address.sin_port), kDiscoveryPort);

    const sockaddr_in destination =
        socket_api::Ipv4SocketAddress(htonl(kBroadcastAddress), kDiscoveryPort);
    EXPECT_EQ(connection.SendTo("abc", 3, 0, reinterpret_cast<const sockaddr*>(&destination),
                                sizeof destination),
              3);
    const auto sent = capture->Next(2s);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->bytes, "abc");
    EXPECT_EQ(sent->sourceAddress, kLocal);
    EXPECT_NE(sent->sourcePort, 0);
    EXPECT_NE(sent->sourcePort, kDiscoveryPort);
    EXPECT_EQ(sent->ttl, kProbeTtl);

    SendFromPeer(connection, "hello");
    int received = connection.Receive(m_buffer, kReceiveBufferSize, 1000);
    if (received == 3 && std::string(m_buffer, 3) == "abc") {
        received = connection.Receive(m_buffer, kReceiveBufferSize, 1000); // the echo came first
    }
    EXPECT_EQ(received, 5);
    EXPECT_EQ(std::string(m_buffer, 5), "hello");
    EXPECT_EQ(Ipv4Address::FromNetworkOrder(connection.LastAddress().sin_addr.s_addr).Text(),
              kPeer);
}

TEST_F(CMulticastConnectionTest, TwoEndpointsBindThePortAtOnceAndBothHearABroadcast) {
    CMulticastConnection first;
    CMulticastConnection second;
    ASSERT_TRUE(OpenOnLocal(first));
    ASSERT_TRUE(OpenOnLocal(second));
    ASSERT_TRUE(m_sender->Broadcast("both"));
    EXPECT_EQ(first.Receive(m_buffer, kReceiveBufferSize, 2000), 4);
    EXPECT_EQ(second.Receive(m_buffer, kReceiveBufferSize, 2000), 4);
}

TEST_F(CMulticastConnectionTest, PortHeldWithoutAddressReuseMakesOpenFail) {
    std::string error;
    auto holder = test::UdpPortHolder::Hold(kDiscoveryPort, nullptr, error);
    ASSERT_TRUE(holder) << error;

    CMulticastConnection connection;
    EXPECT_FALSE(OpenOnLocal(connection));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 10), -1);
    holder.reset();

    // Nothing was left bound: the port can be had again.
    CMulticastConnection later;
    EXPECT_TRUE(OpenOnLocal(later));
}

TEST_F(CMulticastConnectionTest, AddressNotAssignedHereMakesOpenFail) {
    if (test::RunningUnderWine()) {
        GTEST_SKIP() << kWineBindsAnyAddress;
    }
    CMulticastConnection connection;
    EXPECT_FALSE(connection.Open(Ipv4Address::FromText("10.99.99.99").NetworkOrder(),
                                 htonl(INADDR_ANY), 0, kDiscoveryPort, true, kWaitTimeoutMs));
    EXPECT_FALSE(connection.IsOpen());
}

TEST_F(CMulticastConnectionTest, ReceiveWithNothingArrivingTimesOutAndStaysOpen) {
    CMulticastConnection connection;
    ASSERT_TRUE(OpenOnLocal(connection));
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 300), -1);
    EXPECT_GE(Since(start), 290ms);
    EXPECT_TRUE(connection.IsOpen());
    EXPECT_EQ(connection.WaitReadable(50), kWaitTimedOut);
}

TEST_F(CMulticastConnectionTest, EachReceiveTakesOneDatagram) {
    CMulticastConnection connection;
    ASSERT_TRUE(OpenOnLocal(connection));
    ASSERT_TRUE(m_sender->Broadcast("first"));
    ASSERT_TRUE(m_sender->Broadcast("second!"));
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 2000), 5);
    EXPECT_EQ(std::string(m_buffer, 5), "first");
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 2000), 7);
    EXPECT_EQ(std::string(m_buffer, 7), "second!");
}

TEST_F(CMulticastConnectionTest, ZeroLengthDatagramGivesMinusOneAndLeavesTheEndpointOpen) {
    CMulticastConnection connection;
    ASSERT_TRUE(OpenOnLocal(connection));
    SendFromPeer(connection, "");
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 1000), -1);
    EXPECT_TRUE(connection.IsOpen());
}

TEST_F(CMulticastConnectionTest, DatagramThatFillsTheBufferExactlyIsRead) {
    CMulticastConnection connection;
    ASSERT_TRUE(OpenOnLocal(connection));
    const std::string full(kReceiveBufferSize, 'x');
    SendFromPeer(connection, full);
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 1000), kReceiveBufferSize);
    EXPECT_EQ(std::string(m_buffer, kReceiveBufferSize), full);
    EXPECT_TRUE(connection.IsOpen());
}

class OversizeDatagramTest : public CMulticastConnectionTest,
                             public ::testing::WithParamInterface<int> {};

TEST_P(OversizeDatagramTest, ClosesTheEndpointAndGivesMinusOne) {
    CMulticastConnection connection;
    ASSERT_TRUE(OpenOnLocal(connection));
    SendFromPeer(connection, std::string(static_cast<std::size_t>(GetParam()), 'y'));
    m_buffer[kReceiveBufferSize] = 'z';
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 1000), -1);
    EXPECT_EQ(m_buffer[kReceiveBufferSize], 'z') << "wrote past the capacity";
    EXPECT_FALSE(connection.IsOpen());

    ASSERT_TRUE(m_sender->Broadcast("after"));
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(connection.Receive(m_buffer, kReceiveBufferSize, 1000), -1);
    EXPECT_LT(Since(start), 500ms) << "a closed endpoint gives -1 at once";
}

INSTANTIATE_TEST_SUITE_P(Sizes, OversizeDatagramTest, ::testing::Values(1025, 1500, 9000));

TEST_F(CMulticastConnectionTest, CloseTwiceClosesNothingTheSecondTime) {
    auto connection = std::make_unique<CMulticastConnection>();
    ASSERT_TRUE(OpenOnLocal(*connection));
    EXPECT_TRUE(connection->SetReceiveTimeout(500));
    connection->Close();
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_FALSE(connection->SetReceiveTimeout(500));

    // These take the handles just freed; a second close must not touch them.
    const SocketHandle reusedA = socket_api::OpenUdpSocket();
    const SocketHandle reusedB = socket_api::OpenUdpSocket();
    connection->Close();
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(connection->Receive(m_buffer, kReceiveBufferSize, 1000), -1);
    EXPECT_EQ(connection->WaitReadable(1000), -1);
    EXPECT_LT(Since(start), 500ms) << "a closed endpoint does not wait";
    connection.reset();
    EXPECT_TRUE(IsOpenSocket(reusedA));
    EXPECT_TRUE(IsOpenSocket(reusedB));
    socket_api::CloseSocket(reusedA);
    socket_api::CloseSocket(reusedB);

    // The port is free again.
    CMulticastConnection again;
    EXPECT_TRUE(OpenOnLocal(again));
}

} // namespace
} // namespace ferrow
