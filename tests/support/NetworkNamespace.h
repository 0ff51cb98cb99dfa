#pragma once

// Private network namespaces for tests that open sockets. Nothing here touches the
// machine's own interfaces: a test first moves itself into a fresh namespace, then builds
// whatever small LAN it needs from namespaces it holds open by descriptor (unnamed, so
// parallel test processes never clash and nothing is left behind when they end).
//
//   TEST(MyNetworkTest, Case) {
//       FERROW_ENTER_PRIVATE_NETWORK();               // skips when not allowed
//       std::string error;
//       auto peer = ferrow::test::ConnectPeer({"lan0", "10.9.0.1/24", "10.9.0.2/24"}, error);
//       ASSERT_TRUE(peer) << error;
//       auto recorder = ferrow::test::ChildProcess::StartRecorder(
//           {"--address", "10.9.0.2"}, peer.get(), error);
//       ASSERT_TRUE(recorder) << error;
//       ... search from "10.9.0.1" ...
//   }
//
// Namespaces belong to threads: call these on the test's main thread before starting
// threads; threads started afterwards share the namespace.
//
// Windows test programs run under Wine, started by ferrow_test_lab inside a namespace of
// their own; there these calls (and the other helpers here) ask the lab (LabClient.h),
// and the tests read the same.

#include <memory>
#include <string>
#include <utility>

namespace ferrow::test {

// Moves the calling thread into a fresh network namespace with `lo` up (under the lab, the
// program already has one). Returns empty text on success, else the reason it could not
// (no root, no namespace support, not started by the lab).
std::string EnterPrivateNetworkNamespace();

// Skips the current GoogleTest test, saying why, when no private namespace can be had.
#define FERROW_ENTER_PRIVATE_NETWORK()                                                             \
    do {                                                                                           \
        if (const std::string why = ::ferrow::test::EnterPrivateNetworkNamespace();                \
            !why.empty()) {                                                                        \
            GTEST_SKIP() << "needs a private network namespace: " << why;                          \
        }                                                                                          \
    } while (false)

// Whether this Windows program runs under Wine (false on every other platform). Wine 8
// binds a UDP socket to an address that no interface has, where Windows refuses it; the
// tests of that refusal skip there.
bool RunningUnderWine();

// A network namespace kept alive by an open descriptor.
class NetworkNamespace {
public:
    // A new namespace with `lo` up; the calling thread stays where it is. Null on failure,
    // with the reason in error.
    static std::unique_ptr<NetworkNamespace> Create(std::string& error);

    NetworkNamespace(const NetworkNamespace&) = delete;
    NetworkNamespace& operator=(const NetworkNamespace&) = delete;
    ~NetworkNamespace();

    // The descriptor that holds it open; under the lab, the lab's number for it.
    int Descriptor() const { return m_descriptor; }

#ifndef _WIN32
    // The calling thread's namespace.
    static std::unique_ptr<NetworkNamespace> Current(std::string& error);
    // A path that names this namespace to other programs (ip ... netns PATH) while it lives.
    std::string Path() const;
#endif

private:
    explicit NetworkNamespace(int descriptor) : m_descriptor(descriptor) {}
    int m_descriptor;
};

#ifndef _WIN32

// While it lives, the calling thread is inside the given namespace: sockets opened then
// belong to it (and stay there afterwards).
class NamespaceScope {
public:
    explicit NamespaceScope(const NetworkNamespace& target);
    NamespaceScope(const NamespaceScope&) = delete;
    NamespaceScope& operator=(const NamespaceScope&) = delete;
    ~NamespaceScope();

    bool Entered() const { return m_entered; }

private:
    int m_home = -1;
    bool m_entered = false;
};

#endif

struct VethOptions {
    VethOptions(std::string local, std::string localWithPrefix, std::string peerWithPrefix)
        : localName(std::move(local)), localAddress(std::move(localWithPrefix)),
          peerAddress(std::move(peerWithPrefix)) {}

    std::string localName;    // interface in the calling thread's namespace
    std::string localAddress; // with prefix, "10.9.0.1/24"; empty: none
    std::string peerAddress;
    std::string localMac; // "02:00:00:00:00:01"; empty: the kernel's choice
    std::string peerMac;
    std::string peerName = "eth0";
};

// A veth pair from the calling thread's namespace to peer, MACs and addresses set, both
// ends up and ready to carry datagrams. The pair goes away with the peer namespace.
bool ConnectVeth(const NetworkNamespace& peer, const VethOptions& options, std::string& error);

// A new namespace linked to the calling thread's by ConnectVeth. Null on failure.
std::unique_ptr<NetworkNamespace> ConnectPeer(const VethOptions& options, std::string& error);

// For a program of its own, such as a benchmark: moves it into a private namespace and links
// a peer over "lan0", both addresses in one /24 ("10.52.0.1", "10.52.0.2"). Null on
// failure, with the reason in error.
std::unique_ptr<NetworkNamespace>
EnterPrivateNetworkWithPeer(const std::string& local, const std::string& peer, std::string& error);

#ifndef _WIN32
// An IPv4 UDP socket (close-on-exec) opened inside ns (null: here), or -1 with the reason
// in error.
int OpenUdpSocketIn(const NetworkNamespace* ns, std::string& error);
#endif

} // namespace ferrow::test
