#pragma once

#include "discovery/SearchEnd.h"
#include "discovery/SearchRun.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace ferrow {

// What the owner of a DeviceSearch is told. Both calls come on the search's own thread;
// an owner with a thread of its own (a window) moves them there by its own means.
class SearchObserver {
public:
    // One accepted reply, its whole text with the signature, in arrival order.
    virtual void OnSearchReply(std::u16string replyText) = 0;
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

// One search from a local address, running beside its owner: the constructor starts it,
// and the observer hears every accepted reply as it arrives and then the end notice.
class DeviceSearch final : public RunningSearch {
public:
    DeviceSearch(const std::string& localAddress, SearchObserver& observer);
    DeviceSearch(const DeviceSearch&) = delete;
    DeviceSearch& operator=(const DeviceSearch&) = delete;
    // Cancels as Cancel does, without the end notice: the owner is going away. Not from
    // the observer's calls.
    ~DeviceSearch() override;

    // From any thread, the observer's calls included. Unless the search had ended, the
    // observer's last call is the end notice "cancelled". When Cancel returns (from any
    // other thread than the search's) the endpoint is closed and no call is to come.
    void Cancel();

    // Waits for the end and gives its notice (not from the observer's calls).
    SearchEnd Wait();

private:
    void Run();
    void Join();

    SearchRun m_run;
    SearchObserver& m_observer;
    std::atomic<bool> m_silent{false};
    SearchEnd m_end;
    std::mutex m_joinMutex;
    std::thread m_thread; // last: starts once the rest is built
};

} // namespace ferrow
