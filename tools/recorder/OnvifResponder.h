#pragma once

#include "platform/SocketApi.h"
#include "tools/recorder/DeviceSockets.h"
#include "tools/recorder/ProbeMatchBuilder.h"
#include "tools/recorder/RecorderOptions.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ferrow::recorder {

// Plays one ONVIF device on one local address: joins the WS-Discovery group on the
// interface of that address, listens on port 3702 (with address reuse, so that devices
// played in one namespace can share it) and answers each probe for a video transmitter or
// a device with ProbeMatches, unicast from the own address to where the probe came from.
class OnvifResponder {
public:
    explicit OnvifResponder(const RecorderOptions& options);
    OnvifResponder(const OnvifResponder&) = delete;
    OnvifResponder& operator=(const OnvifResponder&) = delete;

    // Binds both sockets and joins the group; on failure returns false with the reason in
    // error.
    bool Open(std::string& error);

    // Answers probes until stopRequested() turns true.
    void Run(const std::function<bool()>& stopRequested);

private:
    using Clock = std::chrono::steady_clock;

    struct PendingAnswer {
        Clock::time_point due;
        sockaddr_in destination;
        std::string relatesTo;
    };

    // Reads one datagram and, when it is a probe to answer, schedules the answer.
    void ReadDatagram();
    void SendDueAnswers();
    // Milliseconds to wait for the next datagram: until the next answer is due, at most a
    // short poll so that a stop request is seen soon.
    int WaitMs() const;

    std::string m_address;
    std::chrono::milliseconds m_delay;
    bool m_flood; // answers each probe again and again
    ProbeMatchBuilder m_builder;
    std::deque<PendingAnswer> m_pending; // in due order: every answer waits the same delay
    std::vector<char> m_buffer;          // one received datagram, of any size
    DeviceSockets m_sockets;
};

} // namespace ferrow::recorder
