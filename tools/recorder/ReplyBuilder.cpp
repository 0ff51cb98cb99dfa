#include "tools/recorder/ReplyBuilder.h"

#include "discovery/DiscoveryProtocol.h"
#include "platform/Ipv4Address.h"
#include "platform/SocketApi.h"

#include <algorithm>

namespace ferrow::recorder {

namespace {

std::string BuildReply(const RecorderOptions& options, const std::string& ipText) {
    const std::string root = options.fault == Fault::WrongRoot ? "NVR" : "XNR";
    std::string children = XmlElement("Manufacture", options.manufacture) +
                           XmlElement("Model", options.model) + XmlElement("IP", ipText) +
                           XmlElement("MAC", options.mac) +
                           XmlElement("HttpPort", options.httpPort);
    std::string reply(kProbeSignatureText);
    reply += "<" + root + ">" + children + "</" + root + ">";

    switch (options.fault) {
    case Fault::NoSignature:
        reply.replace(0, kProbeSignatureText.size(), "80503737");
        break;
    case Fault::Oversize:
        // Padding inside a comment keeps the XML itself valid.
        if (static_cast<int>(reply.size()) + 7 < options.oversizeBytes) {
            reply += "<!--" + std::string(options.oversizeBytes - reply.size() - 7, '-') + " -->";
        }
        break;
    case Fault::Truncated:
        reply.resize(reply.size() - children.size() / 2 - root.size() - 3);
        break;
    case Fault::NulInside:
        reply.insert(reply.find("<IP>"), 1, '\0');
        break;
    default:
        break;
    }
    return reply;
}

} // namespace

std::string EscapeXmlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string XmlElement(std::string_view name, std::string_view text) {
    std::string element;
    element.append("<").append(name).append(">");
    element.append(EscapeXmlText(text));
    element.append("</").append(name).append(">");
    return element;
}

std::string NthIpText(const std::string& baseIp, int index) {
    if (index == 0) {
        return baseIp;
    }
    const std::uint32_t base = Ipv4Address::FromText(baseIp).NetworkOrder();
    if (base == INADDR_NONE) {
        return baseIp + "-" + std::to_string(index);
    }
    return Ipv4Address::FromNetworkOrder(htonl(ntohl(base) + static_cast<std::uint32_t>(index)))
        .Text();
}

std::vector<std::string> BuildReplies(const RecorderOptions& options) {
    const int count = std::max(options.count, 1);
    std::vector<std::string> replies;
    replies.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        const int ipIndex = options.fault == Fault::DuplicateIp ? 0 : index;
        replies.push_back(BuildReply(options, NthIpText(options.ip, ipIndex)));
    }
    return replies;
}

} // namespace ferrow::recorder
