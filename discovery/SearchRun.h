#pragma once

#include "discovery/SearchEnd.h"
#include "platform/DatagramBatch.h"
#include "platform/Ipv4Address.h"

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

class CMulticastConnection;

// Takes one accepted reply: its whole text, signature included, in UTF-16.
using ReplyHandler = std::function<void(std::u16string replyText)>;

// One search from a local IPv4 address, in two halves.
//
// The constructor starts the drain: a thread that opens the endpoint, broadcasts the probe
// and then does nothing but read the discovery port in batches, until a wait of 1000 ms
// passes without a datagram, 10 s pass since the probe, a read fails or Cancel is called;
// then it closes the endpoint. Doing nothing else keeps the kernel's queue short when
// thousands of recorders answer at once.
//
// HandOnReplies, on its caller's thread, takes the batches in arrival order, counts and
// checks each datagram and hands every accepted reply on; it returns once the drain has
// ended (endpoint closed) and every datagram read was handed on, or at once after Cancel.
// Between the two halves sits a fixed pool of batches: while the handing on lags, the
// drain waits for a free batch and the datagrams wait in the kernel's queue.
class SearchRun {
public:
    explicit SearchRun(Ipv4Address localAddress);
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;
    ~SearchRun(); // cancels and waits for the drain

    // Once, on one thread; a second call throws std::logic_error. No reply is handed on
    // once Cancel has been called. The end's reason is Cancelled only when the cancel cut
    // the search short: one that comes after the last reply was handed on changes nothing.
    SearchEnd HandOnReplies(const ReplyHandler& onReply);

    // From any thread: the drain stops within a poll slice and HandOnReplies returns after
    // the reply it is handing on, if any.
    void Cancel();

private:
    using Batch = std::unique_ptr<DatagramBatch>;

    void Drain(Ipv4Address localAddress);
    SearchEndReason Start(CMulticastConnection& endpoint, Ipv4Address localAddress);
    SearchEndReason ReadUntilEnd(CMulticastConnection& endpoint);
    Batch TakeFreeBatch();    // waits while every batch is in use; null after Cancel
    void PassOn(Batch batch); // to HandOnReplies
    Batch NextFullBatch();    // waits; null at the end, or after Cancel
    void Recycle(Batch batch);
    bool Cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Batch> m_freeBatches;
    std::size_t m_batchesMade = 0;
    std::deque<Batch> m_fullBatches;
    std::optional<SearchEndReason> m_drainEnd;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_handingOn{false}; // HandOnReplies has been called
    std::thread m_drainThread;            // last: starts once the rest is built
};

} // namespace ferrow
