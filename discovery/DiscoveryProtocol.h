#pragma once

#include <cstdint>
#include <string_view>

namespace ferrow {

// The probe's payload, which also opens every reply: 8 ASCII bytes, no terminator.
inline constexpr std::string_view kProbeSignatureText = "80503736";
inline constexpr int kProbeSignatureLength = static_cast<int>(kProbeSignatureText.size());

// Probe destination and the port every reply is read from.
inline constexpr std::uint16_t kDiscoveryPort = 2900;
inline constexpr std::uint32_t kBroadcastAddress = 0xFFFFFFFFu; // 255.255.255.255, any byte order

// At most this many bytes of a datagram are read. A larger one fails a single Receive; a
// search counts it and waits on, as it does for an empty one.
inline constexpr int kReceiveBufferSize = 1024;

// Each wait for the next datagram; a search ends when one runs out.
inline constexpr int kWaitTimeoutMs = 1000;

// A search ends at the latest this long after the probe was sent, whatever keeps arriving.
inline constexpr int kSearchBoundMs = 10000;

// WaitReadable's result when the time ran out (the value of WAIT_TIMEOUT).
inline constexpr int kWaitTimedOut = 258;

// Options of the sending socket.
inline constexpr int kProbeTtl = 128;
inline constexpr int kProbeMulticastTtl = 255;

// Kernel receive queue asked for on the receiving socket, so that tens of thousands of
// recorders answering together are not dropped while the reading thread is not running.
inline constexpr int kReceiveQueueBytes = 16 << 20;

// True when the datagram is at least 8 bytes long and starts with the signature.
constexpr bool HasProbeSignature(std::string_view datagram) {
    return datagram.substr(0, kProbeSignatureText.size()) == kProbeSignatureText;
}

} // namespace ferrow
