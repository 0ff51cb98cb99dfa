#include "ChildProcess.h"
#include "NetworkNamespace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ferrow::test {

namespace {

constexpr const char* kOwnNamespacePath = "/proc/thread-self/ns/net";

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string BringLoopbackUp() {
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        return SystemError("socket");
    }
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    std::string error;
    if (::ioctl(socket, SIOCGIFFLAGS, &request) != 0) {
        error = SystemError("reading the flags of lo");
    } else {
        request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
        if (::ioctl(socket, SIOCSIFFLAGS, &request) != 0) {
            error = SystemError("bringing lo up");
        }
    }
    ::close(socket);
    return error;
}

std::string EnterFreshNamespace() {
    if (::unshare(CLONE_NEWNET) != 0) {
        return SystemError("unshare(CLONE_NEWNET)");
    }
    return BringLoopbackUp();
}

bool RunIp(const std::vector<std::string>& arguments, const NetworkNamespace* ns,
           std::string& error) {
    std::vector<std::string> argv{"ip"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::string output;
    if (RunProgram(argv, ns, &output) == 0) {
        return true;
    }
    error = "ip";
    for (const std::string& argument : arguments) {
        error += " " + argument;
    }
    error += " failed: " + output;
    return false;
}

// Address, MAC and state of one end, run where the end lives (ns null: here).
bool ConfigureEnd(const std::string& name, const std::string& address, const std::string& mac,
                  const NetworkNamespace* ns, std::string& error) {
    if (!mac.empty() && !RunIp({"link", "set", "dev", name, "address", mac}, ns, error)) {
        return false;
    }
    if (!address.empty() && !RunIp({"addr", "add", address, "brd", "+", "dev", name}, ns, error)) {
        return false;
    }
    return RunIp({"link", "set", "dev", name, "up"}, ns, error);
}

bool IsRunning(const std::string& name) {
    ifaddrs* entries = nullptr;
    if (::getifaddrs(&entries) != 0) {
        return false;
    }
    bool running = false;
    for (const ifaddrs* entry = entries; entry != nullptr; entry = entry->ifa_next) {
        running = running || (name == entry->ifa_name && (entry->ifa_flags & IFF_RUNNING) != 0);
    }
    ::freeifaddrs(entries);
    return running;
}

// A new link drops what is sent until the kernel's link watch has seen it come up, which
// may take up to a second when many links change at once: wait for that.
bool WaitUntilRunning(const std::string& name, const NetworkNamespace* ns, std::string& error) {
    std::unique_ptr<NamespaceScope> scope;
    if (ns != nullptr) {
        scope = std::make_unique<NamespaceScope>(*ns);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!IsRunning(name)) {
        if (std::chrono::steady_clock::now() > deadline) {
            error = name + " did not come up";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

std::string EnterPrivateNetworkNamespace() {
    if (::geteuid() != 0) {
        return "the tests are not running as root";
    }
    return EnterFreshNamespace();
}

bool RunningUnderWine() {
    return false;
}

std::unique_ptr<NetworkNamespace> NetworkNamespace::Current(std::string& error) {
    const int descriptor = ::open(kOwnNamespacePath, O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        error = SystemError(kOwnNamespacePath);
        return nullptr;
    }
    return std::unique_ptr<NetworkNamespace>(new NetworkNamespace(descriptor));
}

std::unique_ptr<NetworkNamespace> NetworkNamespace::Create(std::string& error) {
    auto home = Current(error);
    if (!home) {
        return nullptr;
    }
    error = EnterFreshNamespace();
    std::unique_ptr<NetworkNamespace> created = error.empty() ? Current(error) : nullptr;
    if (::setns(home->Descriptor(), CLONE_NEWNET) != 0) {
        // The thread would stay in the wrong namespace; nothing sensible can follow.
        std::perror("setns back to the test's namespace");
        std::abort();
    }
    return created;
}

NetworkNamespace::~NetworkNamespace() {
    ::close(m_descriptor);
}

std::string NetworkNamespace::Path() const {
    return "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(m_descriptor);
}

NamespaceScope::NamespaceScope(const NetworkNamespace& target) {
    m_home = ::open(kOwnNamespacePath, O_RDONLY | O_CLOEXEC);
    m_entered = m_home >= 0 && ::setns(target.Descriptor(), CLONE_NEWNET) == 0;
}

NamespaceScope::~NamespaceScope() {
    if (m_entered && ::setns(m_home, CLONE_NEWNET) != 0) {
        std::perror("setns back to the test's namespace");
        std::abort();
    }
    if (m_home >= 0) {
        ::close(m_home);
    }
}

bool ConnectVeth(const NetworkNamespace& peer, const VethOptions& options, std::string& error) {
    return RunIp({"link", "add", options.localName, "type", "veth", "peer", "name",
                  options.peerName, "netns", peer.Path()},
                 nullptr, error) &&
           ConfigureEnd(options.localName, options.localAddress, options.localMac, nullptr,
                        error) &&
           ConfigureEnd(options.peerName, options.peerAddress, options.peerMac, &peer, error) &&
           WaitUntilRunning(options.localName, nullptr, error) &&
           WaitUntilRunning(options.peerName, &peer, error);
}

int OpenUdpSocketIn(const NetworkNamespace* ns, std::string& error) {
    std::unique_ptr<NamespaceScope> scope;
    if (ns != nullptr) {
        scope = std::make_unique<NamespaceScope>(*ns);
        if (!scope->Entered()) {
            error = SystemError("entering the namespace");
            return -1;
        }
    }
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (socket < 0) {
        error = SystemError("socket");
    }
    return socket;
}

} // namespace ferrow::test
