#pragma once

#include "discovery/SearchEnd.h"
#include "discovery/SearchRun.h"
#include "platform/Ipv4Address.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace ferrow {

// What the owner of a DeviceSearch is told. Both calls come on the search's own thread;
// an owner with a thread of its own (a window) moves them there by its own means.
class SearchObserver {
public:
    // One accepted port-2900 reply, its whole text with the signature, in arrival order.
    virtual void OnSearchReply(std::u16string replyText) = 0;
    // One device of an ONVIF ProbeMatches, in arrival order (one waiting for its hardware
    // address comes once the wait is over).
    virtual void OnOnvifDevice(OnvifDevice device) = 0;
    // The last call of a search: why it ended, and what reached the port.
    virtual void OnSearchEnd(const SearchEnd& end) = 0;

protected:
    ~SearchObserver() = default;
};

// A search running beside its owner. Destroying it stops it: once the destructor has
// returned, its observer hears nothing more.
class RunningSearch {
public:
    virtual ~RunningSearch() = default;
};

// One search from a local address in the given protocols, running beside its owner on a
// thread of its own: the constructor starts it, and the observer hears every accepted
// reply and every ONVIF device as they arrive, and then the end notice.
//
// Threads: the owner's thread makes and destroys it and may Wait; Cancel comes from any
// thread. The observer's calls come on the search's thread, and may Cancel or destroy the
// search themselves: the search's thread then ends on its own once the call returns.
class DeviceSearch final : public RunningSearch {
public:
    DeviceSearch(Ipv4Address localAddress, ProtocolSet protocols, SearchObserver& observer);
    DeviceSearch(const DeviceSearch&) = delete;
    DeviceSearch& operator=(const DeviceSearch&) = delete;
    // Cancels as Cancel does, without the end notice: the owner is going away. From any
    // thread, the observer's calls included.
    ~DeviceSearch() override;

    // Unless the search had ended, the observer's last call is the end notice "cancelled".
    // When Cancel returns on any other thread than the search's, the endpoint is closed and
    // no call is to come.
    void Cancel();

    // Waits for the end and gives its notice. From the observer's calls it would wait for
    // itself: it throws std::logic_error there.
    SearchEnd Wait();

private:
    // What the search's thread uses. The thread holds it too, so that a search destroyed
    // from its own observer call finishes on it after the object is gone.
    struct Shared {
        Shared(Ipv4Address localAddress, ProtocolSet protocols, SearchObserver& owner)
            : run(localAddress, protocols), observer(owner) {}
        SearchRun run;
        SearchObserver& observer;
        std::atomic<bool> silent{false}; // no end notice: the owner went away
        SearchEnd end;                   // written by the search's thread before it ends
    };

    static void Run(const std::shared_ptr<Shared>& shared);
    bool OnSearchThread() const;
    void Join();

    std::shared_ptr<Shared> m_shared;
    std::mutex m_joinMutex; // one joiner at a time: Wait and Cancel may meet
    std::thread m_thread;   // last: starts once the rest is built
};

} // namespace ferrow
