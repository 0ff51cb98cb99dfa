#include "discovery/CSearchXNRImpl.h"

#include "discovery/CMulticastConnection.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/Ipv4Address.h"
#include "discovery/TextConversion.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>

namespace ferrow {

namespace {

using Clock = std::chrono::steady_clock;

// The wait for the next datagram: the usual 1000 ms, shortened near the search's end.
int NextWaitMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kWaitTimeoutMs));
}

} // namespace

SearchStart SearchForReplies(const std::string& localAddress,
                             const std::function<void(std::u16string)>& onReply) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_addr.s_addr = htonl(kBroadcastAddress);
    destination.sin_port = htons(kDiscoveryPort);

    CMulticastConnection connection;
    if (!connection.Open(Ipv4FromText(localAddress), htonl(INADDR_ANY), 0, kDiscoveryPort, true,
                         kWaitTimeoutMs)) {
        return SearchStart::EndpointNotOpened;
    }
    if (connection.SendTo(kProbeSignatureText.data(), kProbeSignatureLength, 0,
                          reinterpret_cast<const sockaddr*>(&destination),
                          kSocketAddressLength) != kProbeSignatureLength) {
        connection.Close();
        return SearchStart::ProbeNotSent;
    }

    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kSearchBoundMs);
    std::array<char, kReceiveBufferSize> buffer;
    for (int waitMs = NextWaitMs(deadline); waitMs > 0; waitMs = NextWaitMs(deadline)) {
        const int received = connection.Receive(buffer.data(), kReceiveBufferSize, waitMs);
        if (received <= 0) {
            break;
        }
        const std::string_view datagram(buffer.data(), static_cast<std::size_t>(received));
        if (!HasProbeSignature(datagram)) {
            continue;
        }
        // The text ends at the first zero byte, if any.
        onReply(NarrowToUtf16(datagram.substr(0, datagram.find('\0'))));
    }
    connection.Close();
    return SearchStart::Ran;
}

} // namespace ferrow
