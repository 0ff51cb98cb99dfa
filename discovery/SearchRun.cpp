#include "discovery/SearchRun.h"

#include "discovery/CMulticastConnection.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/NeighbourWaitList.h"
#include "discovery/ReplyDatagram.h"
#include "discovery/WsDiscovery.h"
#include "discovery/WsDiscoveryEndpoint.h"
#include "discovery/WsDiscoveryProbe.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace ferrow {

namespace {

using Clock = std::chrono::steady_clock;

// Port-2900 batches: 32 × 64 datagrams of 1024 bytes, 2 MB at most.
constexpr std::size_t kBatchPoolSize = 32;
// ONVIF batches: 4 × 8 datagrams of up to 64 KB, 2 MB at most.
constexpr std::size_t kOnvifBatchPoolSize = 4;
constexpr int kOnvifDatagramsPerBatch = 8;

// The ONVIF drain listens at least this long after its probes.
constexpr int kOnvifListenAtLeastMs = 3000;

// The drain's longest single wait, so that a cancel is seen this soon; also how often
// the neighbour table is read again while a device waits for its hardware address.
constexpr int kCancelCheckMs = 20;

// Whether the sending side alone can be bound to the address (receive port 0 instead of
// the discovery port); nothing is sent.
bool CanBindLocalAddress(Ipv4Address localAddress) {
    CMulticastConnection endpoint;
    return endpoint.Open(localAddress.NetworkOrder(), 0, 0, 0, false, kWaitTimeoutMs);
}

// Milliseconds to the given time, rounded up so that a wait never ends early.
int MillisecondsUntil(Clock::time_point end) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kCancelCheckMs));
}

// A search of several drains ends with the gravest of their reasons.
bool Graver(SearchEndReason a, SearchEndReason b) {
    return static_cast<int>(a) > static_cast<int>(b);
}

} // namespace

SearchRun::SearchRun(Ipv4Address localAddress, ProtocolSet protocols)
    : m_localAddress(localAddress), m_started(Clock::now()) {
    const auto addDrain = [this](DeviceProtocol protocol, int datagramBytes, int datagramsPerBatch,
                                 std::size_t poolSize) {
        auto drain = std::make_unique<Drain>();
        drain->protocol = protocol;
        drain->datagramBytes = datagramBytes;
        drain->datagramsPerBatch = datagramsPerBatch;
        drain->poolSize = poolSize;
        m_drains.push_back(std::move(drain));
    };
    if (protocols.Has(DeviceProtocol::Udp2900)) {
        addDrain(DeviceProtocol::Udp2900, kReceiveBufferSize, DatagramBatch::kCapacity,
                 kBatchPoolSize);
    }
    if (protocols.Has(DeviceProtocol::Onvif)) {
        addDrain(DeviceProtocol::Onvif, kWsDiscoveryDatagramBytes, kOnvifDatagramsPerBatch,
                 kOnvifBatchPoolSize);
    }
    for (const std::unique_ptr<Drain>& drain : m_drains) {
        drain->thread = std::thread([this, &drain = *drain] { RunDrain(drain); });
    }
}

SearchRun::~SearchRun() {
    Cancel();
    for (const std::unique_ptr<Drain>& drain : m_drains) {
        if (drain->thread.joinable()) {
            drain->thread.join();
        }
    }
}

void SearchRun::Cancel() {
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
}

void SearchRun::RunDrain(Drain& drain) {
    // Each start-and-read closes its endpoint before the end is announced.
    const SearchEndReason reason = drain.protocol == DeviceProtocol::Udp2900
                                       ? Start2900AndRead(drain)
                                       : StartOnvifAndRead(drain);
    {
        const std::lock_guard lock(m_mutex);
        drain.end = reason;
    }
    m_changed.notify_all();
}

SearchEndReason SearchRun::Start2900AndRead(Drain& drain) {
    CMulticastConnection endpoint;
    if (!endpoint.Open(m_localAddress.NetworkOrder(), htonl(INADDR_ANY), 0, kDiscoveryPort, true,
                       kWaitTimeoutMs)) {
        return CanBindLocalAddress(m_localAddress) ? SearchEndReason::PortInUse
                                                   : SearchEndReason::AddressNotLocal;
    }
    const sockaddr_in destination =
        socket_api::Ipv4SocketAddress(htonl(kBroadcastAddress), kDiscoveryPort);
    if (endpoint.SendTo(kProbeSignatureText.data(), kProbeSignatureLength, 0,
                        reinterpret_cast<const sockaddr*>(&destination),
                        kSocketAddressLength) != kProbeSignatureLength) {
        return SearchEndReason::ProbeNotSent;
    }
    return ReadUntilEnd(endpoint, drain, 0);
}

SearchEndReason SearchRun::StartOnvifAndRead(Drain& drain) {
    WsDiscoveryEndpoint endpoint;
    if (!endpoint.Open(m_localAddress)) {
        return SearchEndReason::AddressNotLocal;
    }
    // Devices differ in which of the two types they answer to.
    for (OnvifProbeType type : {OnvifProbeType::NetworkVideoTransmitter, OnvifProbeType::Device}) {
        if (!endpoint.SendToGroup(MakeOnvifProbe(type, NewMessageId()))) {
            return SearchEndReason::ProbeNotSent;
        }
    }
    return ReadUntilEnd(endpoint, drain, kOnvifListenAtLeastMs);
}

template <class Endpoint>
SearchEndReason SearchRun::ReadUntilEnd(Endpoint& endpoint, Drain& drain, int listenAtLeastMs) {
    const Clock::time_point probed = Clock::now();
    const Clock::time_point bound = probed + std::chrono::milliseconds(kSearchBoundMs);
    const Clock::time_point listenUntil = probed + std::chrono::milliseconds(listenAtLeastMs);
    const auto wait = std::chrono::milliseconds(kWaitTimeoutMs);
    Clock::time_point quietEnd = std::max(probed + wait, listenUntil);
    Batch batch;
    while (true) {
        if (batch == nullptr && (batch = TakeFreeBatch(drain)) == nullptr) {
            return SearchEndReason::Cancelled;
        }
        if (Cancelled()) {
            return SearchEndReason::Cancelled;
        }
        const Clock::time_point end = std::min(quietEnd, bound);
        const int waited = endpoint.WaitReadable(MillisecondsUntil(end));
        if (waited == kWaitTimedOut) {
            // A wait that ran out ends the search only once the whole time has passed.
            if (Clock::now() >= end) {
                return end == bound ? SearchEndReason::TimeBound : SearchEndReason::Quiet;
            }
            continue;
        }
        if (waited != 0 || endpoint.ReceiveBatch(*batch) < 0) {
            return SearchEndReason::ReceiveFailed;
        }
        if (batch->count > 0) {
            quietEnd = std::max(Clock::now() + wait, listenUntil);
            PassOn(drain, std::move(batch));
        }
        if (Clock::now() >= bound) {
            return SearchEndReason::TimeBound;
        }
    }
}

SearchRun::Batch SearchRun::TakeFreeBatch(Drain& drain) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this, &drain] {
        return Cancelled() || !drain.freeBatches.empty() || drain.batchesMade < drain.poolSize;
    });
    if (Cancelled()) {
        return nullptr;
    }
    if (drain.freeBatches.empty()) {
        ++drain.batchesMade;
        return std::make_unique<DatagramBatch>(drain.datagramBytes, drain.datagramsPerBatch);
    }
    Batch batch = std::move(drain.freeBatches.back());
    drain.freeBatches.pop_back();
    return batch;
}

void SearchRun::PassOn(Drain& drain, Batch batch) {
    {
        const std::lock_guard lock(m_mutex);
        m_fullBatches.push_back({&drain, std::move(batch)});
    }
    m_changed.notify_all();
}

SearchRun::FullBatch SearchRun::NextFullBatch(std::optional<Clock::time_point> until) {
    std::unique_lock lock(m_mutex);
    const auto ready = [this] { return Cancelled() || !m_fullBatches.empty() || DrainsEnded(); };
    if (until) {
        m_changed.wait_until(lock, *until, ready);
    } else {
        m_changed.wait(lock, ready);
    }
    if (Cancelled() || m_fullBatches.empty()) {
        return {};
    }
    FullBatch full = std::move(m_fullBatches.front());
    m_fullBatches.pop_front();
    return full;
}

void SearchRun::Recycle(FullBatch full) {
    full.batch->count = 0;
    {
        const std::lock_guard lock(m_mutex);
        full.drain->freeBatches.push_back(std::move(full.batch));
    }
    m_changed.notify_all();
}

bool SearchRun::DrainsEnded() const {
    return std::all_of(m_drains.begin(), m_drains.end(),
                       [](const std::unique_ptr<Drain>& drain) { return drain->end.has_value(); });
}

SearchEnd SearchRun::HandOnReplies(const ReplyHandler& onReply,
                                   const OnvifDeviceHandler& onOnvifDevice) {
    if (m_handingOn.exchange(true)) {
        throw std::logic_error("SearchRun::HandOnReplies called a second time");
    }
    SearchEnd end;
    NeighbourWaitList waitingForMac(m_localAddress,
                                    m_started + std::chrono::milliseconds(kSearchBoundMs));
    // Each hands one thing on unless a cancel came first, and then says false.
    const auto handOnDevice = [this, &onOnvifDevice](OnvifDevice device) {
        if (Cancelled()) {
            return false;
        }
        onOnvifDevice(std::move(device));
        return true;
    };
    const auto handOnDatagram = [&](const DatagramBatch& batch, int i, DeviceProtocol protocol) {
        if (Cancelled()) {
            return false;
        }
        const auto index = static_cast<std::size_t>(i);
        if (protocol == DeviceProtocol::Udp2900) {
            if (auto reply = AcceptDatagram(batch.Datagram(i), batch.oversize[index], end.counts)) {
                onReply(std::move(*reply));
            }
            return true;
        }
        const Ipv4Address source = Ipv4Address::FromNetworkOrder(batch.sources[index]);
        for (OnvifDevice& device :
             AcceptProbeMatches(batch.Datagram(i), batch.oversize[index], source, end.counts)) {
            std::optional<OnvifDevice> ready = waitingForMac.Add(std::move(device), source);
            if (ready && !handOnDevice(std::move(*ready))) {
                return false;
            }
        }
        return true;
    };

    bool cutShort = false; // a cancel left datagrams or devices unhanded
    while (!cutShort) {
        // While devices wait for their hardware address, the table is read again often.
        const std::optional<Clock::time_point> nextCheck =
            waitingForMac.Empty()
                ? std::nullopt
                : std::optional(Clock::now() + std::chrono::milliseconds(kCancelCheckMs));
        FullBatch full = NextFullBatch(nextCheck);
        const bool gotBatch = full.batch != nullptr;
        if (Cancelled()) {
            cutShort = gotBatch || !waitingForMac.Empty();
            break;
        }
        if (gotBatch) {
            for (int i = 0; i < full.batch->count && !cutShort; ++i) {
                cutShort = !handOnDatagram(*full.batch, i, full.drain->protocol);
            }
            Recycle(std::move(full));
        }
        for (OnvifDevice& device : waitingForMac.TakeSettled()) {
            cutShort = cutShort || !handOnDevice(std::move(device));
        }
        if (!gotBatch && waitingForMac.Empty()) {
            const std::lock_guard lock(m_mutex);
            if (m_fullBatches.empty() && DrainsEnded()) {
                break;
            }
        }
    }
    for (const std::unique_ptr<Drain>& drain : m_drains) {
        drain->thread.join();
    }
    // The drains have ended, so the batches left are the ones a cancel kept from being read.
    const std::lock_guard lock(m_mutex);
    cutShort = cutShort || !m_fullBatches.empty();
    for (const std::unique_ptr<Drain>& drain : m_drains) {
        if (Graver(*drain->end, end.reason)) {
            end.reason = *drain->end;
            end.reasonFrom = drain->protocol;
        }
    }
    if (cutShort) {
        end.reason = SearchEndReason::Cancelled;
    }
    return end;
}

} // namespace ferrow
