#include "platform/StopSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace ferrow {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM};

// Shared with the handler, which may touch nothing but lock-free atomics and descriptors.
std::atomic<bool> g_installed{false};
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
// The self-pipe: the handler writes a byte that stays unread, so every poll on the read
// end returns at once from then on.
int g_wakeRead = -1;
int g_wakeWrite = -1;
struct sigaction g_previous[std::size(kStopSignals)];

extern "C" void OnStopSignal(int /*signal*/) {
    const int savedErrno = errno;
    g_requested.store(true);
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wakeWrite, &byte, 1);
    // The next signal ends the process as if there were no handler.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (const int signal : kStopSignals) {
        ::sigaction(signal, &byDefault, nullptr);
    }
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals() {
    if (g_installed.exchange(true)) {
        throw std::logic_error("one StopSignals at a time");
    }
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_installed = false;
        throw std::runtime_error("cannot make the pipe that wakes a stop's waiters");
    }
    g_wakeRead = wake[0];
    g_wakeWrite = wake[1];
    g_requested = false;
    struct sigaction handling {};
    handling.sa_handler = OnStopSignal;
    handling.sa_flags = SA_RESTART;
    sigemptyset(&handling.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], &handling, &g_previous[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        ::sigaction(kStopSignals[i], &g_previous[i], nullptr);
    }
    ::close(g_wakeRead);
    ::close(g_wakeWrite);
    g_wakeRead = g_wakeWrite = -1;
    g_installed = false;
}

bool StopSignals::Requested() const {
    return g_requested.load();
}

void StopSignals::WaitForRequest(std::chrono::milliseconds atMost) {
    pollfd entry{g_wakeRead, POLLIN, 0};
    ::poll(&entry, 1, static_cast<int>(atMost.count()));
}

} // namespace ferrow
