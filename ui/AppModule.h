#pragma once

#include <map>
#include <mutex>
#include <thread>

namespace ferrow {

class CMessageLoop;

// The process-wide application module: which message loop runs on which thread, so that
// the frame can find the loop it registers with.
class CAppModule {
public:
    // False when the current thread already has a loop.
    bool AddMessageLoop(CMessageLoop* loop);
    // False when the current thread has none.
    bool RemoveMessageLoop();
    // The current thread's loop, or null.
    CMessageLoop* GetMessageLoop() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::thread::id, CMessageLoop*> m_loops;
};

CAppModule& Module();

// Asks the current thread's loop to end with the given exit code; nothing without a loop.
void PostQuitMessage(int exitCode);

} // namespace ferrow
