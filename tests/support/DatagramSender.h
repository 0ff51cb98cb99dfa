#pragma once

// A UDP sender of the test's own, for datagrams that no recorder would send: broadcasts
// from a chosen address in a chosen namespace, now or on a schedule of its own thread
// (Stop cancels what is left of a schedule).

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ferrow::test {

class NetworkNamespace;

class DatagramSender {
public:
    struct Step {
        std::chrono::milliseconds delay; // after the previous send (or the start)
        std::string bytes;
    };

    // A socket in ns (null: the caller's namespace) bound to address, broadcast allowed.
    // Null on failure, with the reason in error.
    static std::unique_ptr<DatagramSender> Open(const NetworkNamespace* ns,
                                                const std::string& address, std::string& error);

    DatagramSender(const DatagramSender&) = delete;
    DatagramSender& operator=(const DatagramSender&) = delete;
    ~DatagramSender(); // stops a schedule still running

    // Sends one datagram to 255.255.255.255 at the port; true when all of it went.
    bool Broadcast(std::string_view bytes, std::uint16_t port = 2900);

    // Sends the steps on a thread of its own, starting now; Join waits for the last.
    void BroadcastLater(std::vector<Step> steps, std::uint16_t port = 2900);
    void Join();
    void Stop();

    // When the last datagram was sent; waits for the end of a schedule still running, whose
    // thread writes it.
    std::chrono::steady_clock::time_point LastSendTime();

private:
    explicit DatagramSender(int socket) : m_socket(socket) {}

    int m_socket; // under the test lab, the lab's number for it
    std::jthread m_thread;
    std::chrono::steady_clock::time_point m_lastSend{};
};

} // namespace ferrow::test
