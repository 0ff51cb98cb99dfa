#pragma once

#include "discovery/DeviceProtocol.h"
#include "discovery/OnvifDevice.h"
#include "discovery/SearchEnd.h"
#include "platform/DatagramBatch.h"
#include "platform/Ipv4Address.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ferrow {

// Takes one accepted port-2900 reply: its whole text, signature included, in UTF-16.
using ReplyHandler = std::function<void(std::u16string replyText)>;
// Takes one ONVIF device, its hardware address filled in where it can be.
using OnvifDeviceHandler = std::function<void(OnvifDevice device)>;

// One search from a local IPv4 address, in two halves.
//
// The constructor starts the drains, one thread per protocol searched: each opens its
// endpoint, sends its probe and then does nothing but read its socket in batches until its
// own end, then closes the endpoint. The port-2900 drain ends when a wait of 1000 ms
// passes without a datagram; the ONVIF drain likewise, but never sooner than 3000 ms after
// its probes, since devices wait a random time before they answer. Either ends 10 s after
// its probe at the latest, when a read fails, or on Cancel. Doing nothing else keeps the
// kernel's queues short when thousands of devices answer at once.
//
// HandOnReplies, on its caller's thread, takes the batches in arrival order, counts and
// reads each datagram and hands every port-2900 reply and every ONVIF device on. An ONVIF
// device whose hardware address its reply does not give waits up to a second for this
// computer's neighbour table to resolve it. HandOnReplies returns once every drain has
// ended and everything read was handed on, or at once after Cancel. Between the halves
// sits a fixed pool of batches per drain: while the handing on lags, a drain waits for a
// free batch and the datagrams wait in the kernel's queue.
class SearchRun {
public:
    explicit SearchRun(Ipv4Address localAddress, ProtocolSet protocols = DeviceProtocol::Udp2900);
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;
    ~SearchRun(); // cancels and waits for the drains

    // Once, on one thread; a second call throws std::logic_error. No reply is handed on
    // once Cancel has been called. The end's reason is Cancelled only when the cancel cut
    // the search short: one that comes after the last reply was handed on changes nothing.
    // onOnvifDevice may be empty when the run does not search ONVIF.
    SearchEnd HandOnReplies(const ReplyHandler& onReply,
                            const OnvifDeviceHandler& onOnvifDevice = {});

    // From any thread: the drains stop within a poll slice and HandOnReplies returns after
    // the reply it is handing on, if any.
    void Cancel();

private:
    using Batch = std::unique_ptr<DatagramBatch>;

    // One protocol's drain and its pool of batches; the pool and end under m_mutex.
    struct Drain {
        DeviceProtocol protocol = DeviceProtocol::Udp2900;
        int datagramBytes = 0;
        int datagramsPerBatch = 0;
        std::size_t poolSize = 0;
        std::vector<Batch> freeBatches;
        std::size_t batchesMade = 0;
        std::optional<SearchEndReason> end;
        std::thread thread;
    };
    struct FullBatch {
        Drain* drain = nullptr;
        Batch batch;
    };

    void RunDrain(Drain& drain);
    SearchEndReason Start2900AndRead(Drain& drain);
    SearchEndReason StartOnvifAndRead(Drain& drain);
    template <class Endpoint>
    SearchEndReason ReadUntilEnd(Endpoint& endpoint, Drain& drain, int listenAtLeastMs);
    Batch TakeFreeBatch(Drain& drain); // waits while every batch is in use; null after Cancel
    void PassOn(Drain& drain, Batch batch);
    // Waits for the next full batch, at most until the given time; an empty batch at the
    // end, after Cancel, or when the time has come.
    FullBatch NextFullBatch(std::optional<std::chrono::steady_clock::time_point> until);
    void Recycle(FullBatch full);
    bool DrainsEnded() const; // with m_mutex held
    bool Cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    const Ipv4Address m_localAddress;
    const std::chrono::steady_clock::time_point m_started;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<FullBatch> m_fullBatches;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_handingOn{false}; // HandOnReplies has been called
    std::vector<std::unique_ptr<Drain>>
        m_drains; // last: their threads start once the rest is built
};

} // namespace ferrow
