#include "DatagramSender.h"

namespace ferrow::test {

void DatagramSender::BroadcastLater(std::vector<Step> steps, std::uint16_t port) {
    Stop();
    m_thread = std::jthread([this, steps = std::move(steps), port](std::stop_token stop) {
        for (const Step& step : steps) {
            std::this_thread::sleep_for(step.delay);
            if (stop.stop_requested()) {
                return;
            }
            Broadcast(step.bytes, port);
        }
    });
}

void DatagramSender::Join() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

std::chrono::steady_clock::time_point DatagramSender::LastSendTime() {
    Join();
    return m_lastSend;
}

void DatagramSender::Stop() {
    m_thread.request_stop();
    Join();
}

} // namespace ferrow::test
