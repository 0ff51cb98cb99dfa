#pragma once

#include "tools/recorder/RecorderOptions.h"

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace ferrow::recorder {

// Percent-encodes a scope's value as a URI path segment holds it: the bytes of everything
// but letters, digits, "-._~", "!$&'()*+,;=", ':' and '@' become %XX (so a space is %20,
// '/' is %2F and each byte of a non-ASCII UTF-8 character is one %XX).
std::string PercentEncodeScopeValue(std::string_view value);

// The device's scopes, space-separated: its type, name, hardware and location, and its
// MacAddress when one is given.
std::string OnvifScopesText(const RecorderOptions& options);

// The device's XAddrs: the given ones, else its device service on the own address.
std::string OnvifXAddrsText(const RecorderOptions& options);

// Writes the datagrams of the ONVIF device the options describe: WS-Discovery ProbeMatches
// that answer one probe each, from one endpoint (a urn:uuid fixed for the builder's life),
// with a fresh MessageID every time, and the option's fault applied.
class ProbeMatchBuilder {
public:
    explicit ProbeMatchBuilder(const RecorderOptions& options);

    // The answer to the probe whose MessageID was relatesTo (UTF-8).
    std::string Build(std::string_view relatesTo);

private:
    std::string NewUuidUrn();
    // The envelope around one Header and one Body, in the SOAP version asked for.
    std::string Envelope(std::string_view action, std::string_view relatesTo,
                         std::string_view body);
    std::string ProbeMatchesBody() const;
    std::string HelloBody() const;
    // ProbeMatch elements of one XAddrs each, IPs counted up from the own address, as many
    // as fit under the datagram size.
    std::string ManyMatchesBody(std::size_t envelopeBytes) const;

    std::string m_address;
    OnvifFault m_fault;
    bool m_soap11;
    std::string m_scopes;
    std::string m_xaddrs;
    std::mt19937_64 m_random;
    std::string m_endpointAddress;
    std::uint64_t m_instanceId;
    std::uint64_t m_messageNumber = 0;
};

} // namespace ferrow::recorder
