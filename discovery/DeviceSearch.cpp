#include "discovery/DeviceSearch.h"

namespace ferrow {

DeviceSearch::DeviceSearch(const std::string& localAddress, SearchObserver& observer)
    : m_run(localAddress), m_observer(observer), m_thread([this] { Run(); }) {}

DeviceSearch::~DeviceSearch() {
    m_silent = true;
    Cancel();
}

void DeviceSearch::Run() {
    m_end = m_run.HandOnReplies(
        [this](std::u16string replyText) { m_observer.OnSearchReply(std::move(replyText)); });
    if (!m_silent) {
        m_observer.OnSearchEnd(m_end);
    }
}

void DeviceSearch::Cancel() {
    m_run.Cancel();
    // Called from the observer, the search's own thread ends once the call returns.
    if (std::this_thread::get_id() != m_thread.get_id()) {
        Join();
    }
}

SearchEnd DeviceSearch::Wait() {
    Join();
    return m_end;
}

void DeviceSearch::Join() {
    const std::lock_guard lock(m_joinMutex);
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

} // namespace ferrow
