#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace ferrow::recorder {

// Serves one fixed web page over HTTP (GET / and HEAD /) on one address and port, on a
// thread of its own. Owned by ferrow-recorder's main thread, which alone calls Open,
// Start and Stop, in that order. The thread runs the server's accept loop and a small
// pool of workers that answer the connections; Stop closes the listening socket, which
// ends the loop, and joins the thread after the workers have finished their
// connections (a client that stalls is dropped after a second). The destructor stops a
// running server.
class PageServer {
public:
    explicit PageServer(std::string page);
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;
    ~PageServer();

    // Binds to the address and port and listens; false, with the reason in error, when
    // that fails (the port already in use, an address that is not the machine's).
    bool Open(const std::string& address, std::uint16_t port, std::string& error);

    // Starts the thread after a successful Open; returns once its loop runs, so that a
    // Stop right after it ends the loop.
    void Start();

    // Ends the loop and joins the thread; nothing when not started.
    void Stop();

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_loopEnded{false}; // set by the thread when the loop returns
};

} // namespace ferrow::recorder
