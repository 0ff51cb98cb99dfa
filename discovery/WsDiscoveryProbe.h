#pragma once

#include <string>
#include <string_view>

namespace ferrow {

// A fresh message id for each call: "urn:uuid:" and a random (version 4) UUID in lower-case
// hex. Safe to call from any thread.
std::string NewMessageId();

// What a probe asks for: ONVIF's network video transmitters (cameras and most recorders),
// or every ONVIF device.
enum class OnvifProbeType { NetworkVideoTransmitter, Device };

// The WS-Discovery Probe datagram for ONVIF devices of that type: a SOAP 1.2 envelope in
// UTF-8 whose MessageID is messageId (markup characters escaped).
std::string MakeOnvifProbe(OnvifProbeType type, std::string_view messageId);

} // namespace ferrow
