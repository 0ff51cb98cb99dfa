#include "tools/recorder/ProbeMatchBuilder.h"

#include "discovery/WsDiscovery.h"
#include "tools/recorder/ReplyBuilder.h"

#include <chrono>

namespace ferrow::recorder {

namespace {

constexpr std::string_view kAnonymousTo =
    "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous";
constexpr std::string_view kHelloAction = "http://schemas.xmlsoap.org/ws/2005/04/discovery/Hello";
constexpr std::string_view kDeviceTypes = "dn:NetworkVideoTransmitter tds:Device";
constexpr std::string_view kTypeScope = "onvif://www.onvif.org/type/video_encoder";
constexpr std::string_view kLocationScope = "onvif://www.onvif.org/location/lab";

// The size of the answers of --onvif-fault oversize, and the most that many-matches fills.
constexpr std::size_t kOversizeBytes = 64000;
constexpr std::size_t kManyMatchesBytes = 65000;

// The children that a ProbeMatch and a Hello share.
std::string DescriptionElements(std::string_view endpointAddress, std::string_view scopes,
                                std::string_view xaddrs) {
    return "<wsa:EndpointReference>" + XmlElement("wsa:Address", endpointAddress) +
           "</wsa:EndpointReference>" + XmlElement("d:Types", kDeviceTypes) +
           XmlElement("d:Scopes", scopes) + XmlElement("d:XAddrs", xaddrs) +
           XmlElement("d:MetadataVersion", "1");
}

bool StaysUnencoded(unsigned char c) {
    constexpr std::string_view kOtherAllowed = "-._~!$&'()*+,;=:@";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           kOtherAllowed.find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

std::string PercentEncodeScopeValue(std::string_view value) {
    constexpr std::string_view kHexDigits = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (StaysUnencoded(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0x0F];
        }
    }
    return encoded;
}

std::string OnvifScopesText(const RecorderOptions& options) {
    const OnvifOptions& onvif = options.onvif;
    std::string scopes(kTypeScope);
    scopes.append(" ").append(kOnvifNameScope);
    scopes += PercentEncodeScopeValue(onvif.name.empty() ? options.manufacture : onvif.name);
    scopes.append(" ").append(kOnvifHardwareScope);
    scopes += PercentEncodeScopeValue(onvif.hardware.empty() ? options.model : onvif.hardware);
    scopes.append(" ").append(kLocationScope);
    if (!onvif.mac.empty()) {
        scopes.append(" ").append(kOnvifMacScope) += PercentEncodeScopeValue(onvif.mac);
    }
    return scopes;
}

std::string OnvifXAddrsText(const RecorderOptions& options) {
    if (!options.onvif.xaddrs.empty()) {
        return options.onvif.xaddrs;
    }
    return "http://" + options.address + ":" + options.httpPort + "/onvif/device_service";
}

ProbeMatchBuilder::ProbeMatchBuilder(const RecorderOptions& options)
    : m_address(options.address), m_fault(options.onvif.fault), m_soap11(options.onvif.soap11),
      m_scopes(OnvifScopesText(options)), m_xaddrs(OnvifXAddrsText(options)),
      m_instanceId(
          static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count())) {
    std::random_device entropy;
    std::seed_seq seed{entropy(), entropy(), entropy(), entropy()};
    m_random.seed(seed);
    m_endpointAddress = NewUuidUrn();
}

std::string ProbeMatchBuilder::NewUuidUrn() {
    // A random (version 4) UUID of the RFC 4122 variant.
    std::uint64_t high = m_random();
    std::uint64_t low = m_random();
    high = (high & ~std::uint64_t{0xF000}) | 0x4000;
    low = (low & ~(std::uint64_t{0xC} << 60)) | (std::uint64_t{0x8} << 60);
    constexpr std::string_view kHexDigits = "0123456789abcdef";
    std::string urn = "urn:uuid:";
    for (int nibble = 0; nibble < 32; ++nibble) {
        if (nibble == 8 || nibble == 12 || nibble == 16 || nibble == 20) {
            urn += '-';
        }
        const std::uint64_t half = nibble < 16 ? high : low;
        urn += kHexDigits[(half >> (60 - 4 * (nibble % 16))) & 0x0F];
    }
    return urn;
}

std::string ProbeMatchBuilder::Envelope(std::string_view action, std::string_view relatesTo,
                                        std::string_view body) {
    std::string envelope = R"(<?xml version="1.0" encoding="UTF-8"?>)";
    envelope.append(R"(<s:Envelope xmlns:s=")")
        .append(m_soap11 ? kSoap11Namespace : kSoap12Namespace)
        .append(R"(" xmlns:wsa=")")
        .append(kWsAddressingNamespace)
        .append(R"(" xmlns:d=")")
        .append(kWsDiscoveryNamespace)
        .append(R"(" xmlns:dn=")")
        .append(kOnvifNetworkNamespace)
        .append(R"(" xmlns:tds=")")
        .append(kOnvifDeviceNamespace)
        .append(R"(">)");
    envelope += "<s:Header>" + XmlElement("wsa:MessageID", NewUuidUrn()) +
                XmlElement("wsa:RelatesTo", relatesTo) + XmlElement("wsa:To", kAnonymousTo) +
                XmlElement("wsa:Action", action);
    envelope += R"(<d:AppSequence InstanceId=")" + std::to_string(m_instanceId) +
                R"(" MessageNumber=")" + std::to_string(++m_messageNumber) + R"("/>)";
    envelope.append("</s:Header><s:Body>").append(body).append("</s:Body></s:Envelope>");
    return envelope;
}

std::string ProbeMatchBuilder::ProbeMatchesBody() const {
    return "<d:ProbeMatches><d:ProbeMatch>" +
           DescriptionElements(m_endpointAddress, m_scopes, m_xaddrs) +
           "</d:ProbeMatch></d:ProbeMatches>";
}

std::string ProbeMatchBuilder::HelloBody() const {
    return "<d:Hello>" + DescriptionElements(m_endpointAddress, m_scopes, m_xaddrs) + "</d:Hello>";
}

std::string ProbeMatchBuilder::ManyMatchesBody(std::size_t envelopeBytes) const {
    // The discovery namespace as the default one keeps each match short, so that more
    // than a thousand fit.
    std::string body = "<ProbeMatches xmlns=\"";
    body.append(kWsDiscoveryNamespace).append("\">");
    constexpr std::string_view kEnd = "</ProbeMatches>";
    for (int index = 0;; ++index) {
        const std::string match = "<ProbeMatch>" +
                                  XmlElement("XAddrs", "http://" + NthIpText(m_address, index)) +
                                  "</ProbeMatch>";
        if (envelopeBytes + body.size() + match.size() + kEnd.size() > kManyMatchesBytes) {
            break;
        }
        body += match;
    }
    return body.append(kEnd);
}

std::string ProbeMatchBuilder::Build(std::string_view relatesTo) {
    switch (m_fault) {
    case OnvifFault::NotXml:
        return "not XML: ProbeMatches for " + std::string(relatesTo);
    case OnvifFault::NotProbeMatches:
        return Envelope(kHelloAction, relatesTo, HelloBody());
    case OnvifFault::ManyMatches: {
        std::string answer = Envelope(kProbeMatchesAction, relatesTo, "");
        answer.insert(answer.rfind("</s:Body>"), ManyMatchesBody(answer.size()));
        return answer;
    }
    case OnvifFault::Oversize: {
        std::string answer = Envelope(kProbeMatchesAction, relatesTo, ProbeMatchesBody());
        // A comment between Header and Body keeps the message well-formed.
        constexpr std::string_view kCommentStart = "<!--";
        constexpr std::string_view kCommentEnd = "-->";
        const std::size_t fixedBytes = answer.size() + kCommentStart.size() + kCommentEnd.size();
        if (fixedBytes < kOversizeBytes) {
            const std::string comment = std::string(kCommentStart) +
                                        std::string(kOversizeBytes - fixedBytes, ' ') +
                                        std::string(kCommentEnd);
            answer.insert(answer.find("<s:Body>"), comment);
        }
        return answer;
    }
    case OnvifFault::None:
    case OnvifFault::Flood:
        break;
    }
    return Envelope(kProbeMatchesAction, relatesTo, ProbeMatchesBody());
}

} // namespace ferrow::recorder
