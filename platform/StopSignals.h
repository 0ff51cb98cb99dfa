#pragma once

// Ctrl+C and its kin as a request to stop, for a command-line program that ends its work
// cleanly; the platform parts are in StopSignalsPosix.cpp and StopSignalsWindows.cpp.

#include <chrono>

namespace ferrow {

// While it lives, the first SIGINT or SIGTERM (POSIX), or Ctrl+C, Ctrl+Break or the
// console's closing (Windows), no longer ends the process: it marks a stop as requested and
// wakes WaitUntil. A second one ends the process at once, as it would without this object.
// When the console closes, Windows ends the process a few seconds after the request at the
// latest; the request waits for the object's end until then.
//
// Threads: one lives in a process at a time (a second constructor throws
// std::logic_error); the thread that makes it destroys it. Requested and WaitUntil may be
// called from any thread. The handlers only set a flag and wake the waiters: on POSIX they
// are async-signal-safe, on Windows they run on a thread the system starts.
class StopSignals {
public:
    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    ~StopSignals(); // gives the signals their previous handling back

    bool Requested() const;

    // Waits until the time has come or a stop is requested, whichever is first, and says
    // whether a stop was requested. Once requested, it returns at once.
    bool WaitUntil(std::chrono::steady_clock::time_point until) const;

private:
    // The platform's wait: returns when a stop is requested or atMost has passed, and may
    // return sooner (a signal), since WaitUntil checks again.
    static void WaitForRequest(std::chrono::milliseconds atMost);
};

} // namespace ferrow
