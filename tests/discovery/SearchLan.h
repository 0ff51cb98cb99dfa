#pragma once

// The LAN of the search tests: the test's namespace holds lan0 (10.41.0.1), linked to a
// peer namespace (10.41.0.2) where recorders and senders of the test's own live.

#include "ChildProcess.h"
#include "DatagramSender.h"
#include "NetworkNamespace.h"
#include "discovery/DiscoveryProtocol.h"
#include "platform/Ipv4Address.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace ferrow::test {

inline constexpr const char* kLocal = "10.41.0.1";
inline constexpr const char* kPeer = "10.41.0.2";
inline constexpr const char* kPeerMac = "02:00:00:00:41:02";
inline constexpr const char* kLocalMac = "02:00:00:00:41:01";

inline Ipv4Address LocalAddress() {
    return Ipv4Address::FromText(kLocal);
}

inline std::string ReplyBytes(const std::string& ip, const std::string& model = "NVR-4") {
    return std::string(kProbeSignatureText) + "<XNR><Manufacture>Acme</Manufacture><Model>" +
           model + "</Model><IP>" + ip + "</IP><MAC>00:11:22:33:44:55</MAC>" +
           "<HttpPort>80</HttpPort></XNR>";
}

inline std::u16string Wide(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

class SearchLanTest : public ::testing::Test {
protected:
    void SetUp() override {
        FERROW_ENTER_PRIVATE_NETWORK();
        m_peer = AddPeer("lan0", kLocal, kPeer, kPeerMac, kLocalMac);
        ASSERT_TRUE(m_peer);
        std::string error;
        m_sender = DatagramSender::Open(m_peer.get(), kPeer, error);
        ASSERT_TRUE(m_sender) << error;
    }

    std::unique_ptr<NetworkNamespace> AddPeer(const std::string& link, const std::string& local,
                                              const std::string& peer,
                                              const std::string& peerMac = "",
                                              const std::string& localMac = "") {
        VethOptions veth(link, local + "/24", peer + "/24");
        veth.peerMac = peerMac;
        veth.localMac = localMac;
        std::string error;
        auto ns = ConnectPeer(veth, error);
        EXPECT_TRUE(ns) << error;
        return ns;
    }

    std::unique_ptr<ChildProcess> StartRecorder(const std::vector<std::string>& options) {
        std::vector<std::string> arguments{"--address", kPeer};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::string error;
        auto recorder = ChildProcess::StartRecorder(arguments, m_peer.get(), error);
        EXPECT_TRUE(recorder) << error;
        return recorder;
    }

    std::unique_ptr<NetworkNamespace> m_peer;
    std::unique_ptr<DatagramSender> m_sender;
};

} // namespace ferrow::test
