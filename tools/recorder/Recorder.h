#pragma once

#include "platform/SocketApi.h"
#include "tools/recorder/DeviceSockets.h"
#include "tools/recorder/RecorderOptions.h"

#include <functional>
#include <string>
#include <vector>

namespace ferrow::recorder {

// Plays one or many recorders on one local address: listens on the discovery port (with
// address reuse, so that it can share the port) and answers each probe by broadcast.
class Recorder {
public:
    explicit Recorder(RecorderOptions options);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Binds both sockets; on failure returns false with the reason in error.
    bool Open(std::string& error);

    // Answers probes until stopRequested() turns true.
    void Run(const std::function<bool()>& stopRequested);

private:
    bool IsProbe();
    // Sends one round of replies; false when asked to stop in between.
    bool SendRound(const std::function<bool()>& stopRequested);

    RecorderOptions m_options;
    std::vector<std::string> m_replies;
    std::vector<char> m_buffer; // one received datagram, of any size
    DeviceSockets m_sockets;
};

} // namespace ferrow::recorder
