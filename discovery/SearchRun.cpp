#include "discovery/SearchRun.h"

#include "discovery/CMulticastConnection.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/ReplyDatagram.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace ferrow {

namespace {

using Clock = std::chrono::steady_clock;

// Batches between the two halves: 32 × 64 datagrams, 2 MB at most.
constexpr std::size_t kBatchPoolSize = 32;

// The drain's longest single wait, so that a cancel is seen this soon.
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

} // namespace

SearchRun::SearchRun(Ipv4Address localAddress)
    : m_drainThread([this, localAddress] { Drain(localAddress); }) {}

SearchRun::~SearchRun() {
    Cancel();
    if (m_drainThread.joinable()) {
        m_drainThread.join();
    }
}

void SearchRun::Cancel() {
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
}

void SearchRun::Drain(Ipv4Address localAddress) {
    SearchEndReason reason;
    {
        CMulticastConnection endpoint;
        reason = Start(endpoint, localAddress);
        if (!NotStarted(reason)) {
            reason = ReadUntilEnd(endpoint);
        }
    } // the endpoint is closed before the end is announced
    {
        const std::lock_guard lock(m_mutex);
        m_drainEnd = reason;
    }
    m_changed.notify_all();
}

SearchEndReason SearchRun::Start(CMulticastConnection& endpoint, Ipv4Address localAddress) {
    if (!endpoint.Open(localAddress.NetworkOrder(), htonl(INADDR_ANY), 0, kDiscoveryPort, true,
                       kWaitTimeoutMs)) {
        return CanBindLocalAddress(localAddress) ? SearchEndReason::PortInUse
                                                 : SearchEndReason::AddressNotLocal;
    }
    const sockaddr_in destination =
        socket_api::Ipv4SocketAddress(htonl(kBroadcastAddress), kDiscoveryPort);
    if (endpoint.SendTo(kProbeSignatureText.data(), kProbeSignatureLength, 0,
                        reinterpret_cast<const sockaddr*>(&destination),
                        kSocketAddressLength) != kProbeSignatureLength) {
        return SearchEndReason::ProbeNotSent;
    }
    return SearchEndReason::Quiet; // started; the reading decides the real reason
}

SearchEndReason SearchRun::ReadUntilEnd(CMulticastConnection& endpoint) {
    const Clock::time_point bound = Clock::now() + std::chrono::milliseconds(kSearchBoundMs);
    const auto wait = std::chrono::milliseconds(kWaitTimeoutMs);
    Clock::time_point quietEnd = Clock::now() + wait;
    Batch batch;
    while (true) {
        if (batch == nullptr && (batch = TakeFreeBatch()) == nullptr) {
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
            quietEnd = Clock::now() + wait;
            PassOn(std::move(batch));
        }
        if (Clock::now() >= bound) {
            return SearchEndReason::TimeBound;
        }
    }
}

SearchRun::Batch SearchRun::TakeFreeBatch() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] {
        return Cancelled() || !m_freeBatches.empty() || m_batchesMade < kBatchPoolSize;
    });
    if (Cancelled()) {
        return nullptr;
    }
    if (m_freeBatches.empty()) {
        ++m_batchesMade;
        return std::make_unique<DatagramBatch>(kReceiveBufferSize);
    }
    Batch batch = std::move(m_freeBatches.back());
    m_freeBatches.pop_back();
    return batch;
}

void SearchRun::PassOn(Batch batch) {
    {
        const std::lock_guard lock(m_mutex);
        m_fullBatches.push_back(std::move(batch));
    }
    m_changed.notify_all();
}

SearchRun::Batch SearchRun::NextFullBatch() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(
        lock, [this] { return Cancelled() || !m_fullBatches.empty() || m_drainEnd.has_value(); });
    if (Cancelled() || m_fullBatches.empty()) {
        return nullptr;
    }
    Batch batch = std::move(m_fullBatches.front());
    m_fullBatches.pop_front();
    return batch;
}

void SearchRun::Recycle(Batch batch) {
    batch->count = 0;
    {
        const std::lock_guard lock(m_mutex);
        m_freeBatches.push_back(std::move(batch));
    }
    m_changed.notify_all();
}

SearchEnd SearchRun::HandOnReplies(const ReplyHandler& onReply) {
    if (m_handingOn.exchange(true)) {
        throw std::logic_error("SearchRun::HandOnReplies called a second time");
    }
    SearchEnd end;
    bool cutShort = false; // a cancel left datagrams of a batch unread
    while (Batch batch = NextFullBatch()) {
        for (int i = 0; i < batch->count; ++i) {
            if (Cancelled()) {
                cutShort = true;
                break;
            }
            if (auto reply = AcceptDatagram(
                    batch->Datagram(i), batch->oversize[static_cast<std::size_t>(i)], end.counts)) {
                onReply(std::move(*reply));
            }
        }
        Recycle(std::move(batch));
    }
    m_drainThread.join();
    // The drain has ended, so the batches left are the ones a cancel kept from being read.
    const std::lock_guard lock(m_mutex);
    cutShort = cutShort || !m_fullBatches.empty();
    end.reason = cutShort ? SearchEndReason::Cancelled : *m_drainEnd;
    return end;
}

} // namespace ferrow
