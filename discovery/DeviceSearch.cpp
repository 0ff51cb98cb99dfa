#include "discovery/DeviceSearch.h"

#include <stdexcept>

namespace ferrow {

namespace {

// The search whose thread this is, if any. Set by that thread alone, so telling "called
// from the observer" from "called by the owner" never reads the thread object, which a
// join on another thread may be changing.
thread_local const void* tSearchOfThisThread = nullptr;

} // namespace

DeviceSearch::DeviceSearch(Ipv4Address localAddress, ProtocolSet protocols,
                           SearchObserver& observer)
    : m_shared(std::make_shared<Shared>(localAddress, protocols, observer)),
      m_thread([shared = m_shared] { Run(shared); }) {}

DeviceSearch::~DeviceSearch() {
    m_shared->silent = true;
    m_shared->run.Cancel();
    if (OnSearchThread()) {
        m_thread.detach(); // ends once the observer call returns; it holds what it uses
    } else {
        Join();
    }
}

void DeviceSearch::Run(const std::shared_ptr<Shared>& shared) {
    tSearchOfThisThread = shared.get();
    SearchObserver& observer = shared->observer;
    shared->end = shared->run.HandOnReplies(
        [&observer](std::u16string replyText) { observer.OnSearchReply(std::move(replyText)); },
        [&observer](OnvifDevice device) { observer.OnOnvifDevice(std::move(device)); });
    if (!shared->silent) {
        shared->observer.OnSearchEnd(shared->end);
    }
}

bool DeviceSearch::OnSearchThread() const {
    return tSearchOfThisThread == m_shared.get();
}

void DeviceSearch::Cancel() {
    m_shared->run.Cancel();
    if (!OnSearchThread()) {
        Join();
    }
}

SearchEnd DeviceSearch::Wait() {
    if (OnSearchThread()) {
        throw std::logic_error("DeviceSearch::Wait called from its own observer");
    }
    Join();
    return m_shared->end;
}

void DeviceSearch::Join() {
    const std::lock_guard lock(m_joinMutex);
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace ferrow
