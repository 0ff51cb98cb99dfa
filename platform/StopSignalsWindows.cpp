#include "platform/StopSignals.h"

#include <windows.h>
#include <atomic>
#include <stdexcept>

namespace ferrow {
namespace {

// How long a closing console waits for the program to end its work; Windows ends the
// process soon after in any case.
constexpr DWORD kCloseGraceMs = 4000;

std::atomic<bool> g_installed{false};
std::atomic<bool> g_requested{false};
HANDLE g_stopEvent = nullptr;  // set on the request: wakes WaitUntil
HANDLE g_endedEvent = nullptr; // set when the StopSignals ends: the close may go on

BOOL WINAPI OnConsoleControl(DWORD control) {
    if (control != CTRL_C_EVENT && control != CTRL_BREAK_EVENT && control != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    if (g_requested.exchange(true)) {
        return FALSE; // the second: the default handling ends the process
    }
    ::SetEvent(g_stopEvent);
    if (control == CTRL_CLOSE_EVENT) {
        // The process ends when this returns.
        ::WaitForSingleObject(g_endedEvent, kCloseGraceMs);
    }
    return TRUE;
}

} // namespace

StopSignals::StopSignals() {
    if (g_installed.exchange(true)) {
        throw std::logic_error("one StopSignals at a time");
    }
    g_stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_endedEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_stopEvent == nullptr || g_endedEvent == nullptr) {
        g_installed = false;
        throw std::runtime_error("cannot make the events of a stop");
    }
    g_requested = false;
    // Without a console there is no Ctrl+C to hear, and the program runs on as it would.
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopSignals::~StopSignals() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    ::SetEvent(g_endedEvent);
    // A close handler still waiting holds the events; the process ends with it anyway.
    if (!g_requested) {
        ::CloseHandle(g_stopEvent);
        ::CloseHandle(g_endedEvent);
        g_stopEvent = g_endedEvent = nullptr;
    }
    g_installed = false;
}

bool StopSignals::Requested() const {
    return g_requested.load();
}

void StopSignals::WaitForRequest(std::chrono::milliseconds atMost) {
    ::WaitForSingleObject(g_stopEvent, static_cast<DWORD>(atMost.count()));
}

} // namespace ferrow
