#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ferrow::recorder {

// The MessageID (UTF-8) of a WS-Discovery Probe that an ONVIF device answers: a SOAP
// envelope of either version whose Body holds a Probe with no Types, or with
// NetworkVideoTransmitter or Device among them. Elements and types are matched by local
// name, whatever their prefix. Nothing for anything else: other messages, probes for other
// types, probes without a MessageID (an answer could not name what it relates to), and
// datagrams that are not well-formed XML.
std::optional<std::string> AnsweredProbeMessageId(std::string_view datagram);

} // namespace ferrow::recorder
