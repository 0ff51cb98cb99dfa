#include "discovery/ProbeMatchReader.h"

#include "discovery/WsDiscovery.h"
#include "platform/TextConversion.h"
#include "xml/CXmlDoc.h"

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>

namespace ferrow {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr bool IsListSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

constexpr bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The value of a hexadecimal digit, or -1.
constexpr int HexValue(char16_t c) {
    if (IsDigit(c)) {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// The next item of a whitespace-separated list (XAddrs, Scopes), taken off the front of
// rest; empty when none is left.
std::u16string_view NextListItem(std::u16string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsListSpace(rest[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < rest.size() && !IsListSpace(rest[end])) {
        ++end;
    }
    const std::u16string_view item = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return item;
}

// Whether text starts with the ASCII prefix, compared unit by unit.
bool StartsWithAscii(std::u16string_view text, std::string_view prefix, bool ignoreCase = false) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (ignoreCase && c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
        if (c != static_cast<unsigned char>(prefix[i])) {
            return false;
        }
    }
    return true;
}

std::u16string AsciiToUtf16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Where a device's web service is, read from one XAddrs address.
struct ServiceAddress {
    Ipv4Address host;
    std::uint16_t port;
    bool https;
};

// Four decimal parts of 0-255 without leading zeros (which some readers take as octal), for
// an address a device can be reached on: not 0/8, loopback, link-local, multicast or
// reserved.
std::optional<Ipv4Address> ReadUnicastIpv4(std::u16string_view host) {
    std::array<std::uint8_t, 4> octets{};
    std::size_t at = 0;
    for (std::size_t part = 0; part < octets.size(); ++part) {
        if (part > 0) {
            if (at >= host.size() || host[at] != u'.') {
                return std::nullopt;
            }
            ++at;
        }
        const std::size_t start = at;
        unsigned value = 0;
        while (at < host.size() && IsDigit(host[at]) && at - start < 3) {
            value = value * 10 + static_cast<unsigned>(host[at++] - u'0');
        }
        const std::size_t digits = at - start;
        if (digits == 0 || value > 255 || (digits > 1 && host[start] == u'0')) {
            return std::nullopt;
        }
        octets[part] = static_cast<std::uint8_t>(value);
    }
    if (at != host.size()) {
        return std::nullopt;
    }
    const bool linkLocal = octets[0] == 169 && octets[1] == 254;
    if (octets[0] == 0 || octets[0] == 127 || octets[0] >= 224 || linkLocal) {
        return std::nullopt;
    }
    // The octets in memory order are the address in network order.
    return Ipv4Address::FromNetworkOrder(std::bit_cast<std::uint32_t>(octets));
}

// A port of 1-65535 in decimal digits; an empty one is the scheme's own.
std::optional<std::uint16_t> ReadPort(std::u16string_view text, std::uint16_t schemePort) {
    if (text.empty()) {
        return schemePort;
    }
    std::uint32_t port = 0;
    for (const char16_t c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        port = port * 10 + static_cast<std::uint32_t>(c - u'0');
        if (port > 65535) {
            return std::nullopt;
        }
    }
    if (port == 0) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(port);
}

// An http or https URL (scheme in any case) whose authority is a unicast IPv4 address and
// an optional port. Userinfo, IPv6 literals and host names give nothing.
std::optional<ServiceAddress> ReadServiceAddress(std::u16string_view url) {
    ServiceAddress address{};
    if (StartsWithAscii(url, "http://", true)) {
        url.remove_prefix(7);
        address.https = false;
    } else if (StartsWithAscii(url, "https://", true)) {
        url.remove_prefix(8);
        address.https = true;
    } else {
        return std::nullopt;
    }
    const std::u16string_view authority = url.substr(0, url.find_first_of(u"/?#"));
    const std::size_t colon = authority.find(u':');
    // A host that is no IPv4 address, userinfo and "[...]" included, fails here.
    const auto host = ReadUnicastIpv4(authority.substr(0, colon));
    if (!host) {
        return std::nullopt;
    }
    const std::uint16_t schemePort = address.https ? 443 : 80;
    const auto port = colon == std::u16string_view::npos
                          ? std::optional(schemePort)
                          : ReadPort(authority.substr(colon + 1), schemePort);
    if (!port) {
        return std::nullopt;
    }
    address.host = *host;
    address.port = *port;
    return address;
}

// The usable address of XAddrs on source, else the first usable one.
std::optional<ServiceAddress> ChooseServiceAddress(std::u16string_view xaddrs, Ipv4Address source) {
    std::optional<ServiceAddress> first;
    for (std::u16string_view url = NextListItem(xaddrs); !url.empty(); url = NextListItem(xaddrs)) {
        const auto address = ReadServiceAddress(url);
        if (!address) {
            continue;
        }
        if (address->host == source) {
            return address;
        }
        if (!first) {
            first = address;
        }
    }
    return first;
}

// The %XX escapes of text decoded to bytes and read as UTF-8; other characters, and '%'
// that starts no escape, stay. An escape cannot split a character written as it stands, so
// each run of escapes decodes on its own. text as it stands when a run is not UTF-8.
std::u16string PercentDecoded(std::u16string_view text) {
    const auto escapeAt = [text](std::size_t at) {
        return at + 2 < text.size() && text[at] == u'%' && HexValue(text[at + 1]) >= 0 &&
               HexValue(text[at + 2]) >= 0;
    };
    std::u16string decoded;
    std::string bytes;
    for (std::size_t at = 0; at < text.size();) {
        if (!escapeAt(at)) {
            decoded += text[at++];
            continue;
        }
        bytes.clear();
        for (; escapeAt(at); at += 3) {
            bytes += static_cast<char>(HexValue(text[at + 1]) << 4 | HexValue(text[at + 2]));
        }
        const auto run = WellFormedUtf8ToUtf16(bytes);
        if (!run) {
            return std::u16string(text);
        }
        decoded += *run;
    }
    return decoded;
}

// The scopes the record's texts come from: the rest of the first scope of each prefix.
struct DeviceScopes {
    std::optional<std::u16string_view> name, hardware, mac;
};

DeviceScopes FindDeviceScopes(std::u16string_view scopes) {
    DeviceScopes found;
    const auto take = [](std::optional<std::u16string_view>& rest, std::u16string_view scope,
                         std::string_view prefix) {
        if (!rest && StartsWithAscii(scope, prefix)) {
            rest = scope.substr(prefix.size());
        }
    };
    for (std::u16string_view scope = NextListItem(scopes); !scope.empty();
         scope = NextListItem(scopes)) {
        take(found.name, scope, kOnvifNameScope);
        take(found.hardware, scope, kOnvifHardwareScope);
        take(found.mac, scope, kOnvifMacScope);
    }
    return found;
}

OnvifDevice ReadProbeMatch(const CXmlDoc& document, std::int32_t match, Ipv4Address source,
                           const std::u16string& sourceText) {
    OnvifDevice device;
    DeviceRecord& record = device.record;
    const std::u16string xaddrs =
        document.ElementText(document.FindChildByLocalName(match, u"XAddrs"));
    if (const auto address = ChooseServiceAddress(xaddrs, source)) {
        record.IP = AsciiToUtf16(address->host.Text());
        record.HttpPort = AsciiToUtf16(std::to_string(address->port));
        device.webScheme = address->https ? u"https" : u"http";
    } else {
        record.IP = sourceText;
        record.HttpPort = u"80";
        device.webScheme = u"http";
    }

    const std::u16string scopes =
        document.ElementText(document.FindChildByLocalName(match, u"Scopes"));
    const DeviceScopes found = FindDeviceScopes(scopes);
    if (found.name) {
        record.Manufacture = PercentDecoded(*found.name);
    }
    if (found.hardware) {
        record.Model = PercentDecoded(*found.hardware);
    }
    if (found.mac) {
        record.MAC = *found.mac;
    }
    return device;
}

} // namespace

std::vector<OnvifDevice> ReadProbeMatches(std::string_view datagram, Ipv4Address source) {
    if (datagram.starts_with(kUtf8ByteOrderMark)) {
        datagram.remove_prefix(kUtf8ByteOrderMark.size());
    }
    CXmlDoc document;
    if (!document.LoadText(std::u16string_view(Utf8ToUtf16(datagram)))) {
        return {};
    }
    const std::int32_t envelope = document.FindChildByLocalName(0, u"Envelope");
    const std::int32_t body = envelope != 0 ? document.FindChildByLocalName(envelope, u"Body") : 0;
    const std::int32_t probeMatches =
        body != 0 ? document.FindChildByLocalName(body, u"ProbeMatches") : 0;
    if (probeMatches == 0) {
        return {};
    }
    const std::u16string sourceText = AsciiToUtf16(source.Text());
    std::vector<OnvifDevice> devices;
    for (std::int32_t match = document.FindChildByLocalName(probeMatches, u"ProbeMatch");
         match != 0; match = document.FindChildByLocalName(probeMatches, u"ProbeMatch", match)) {
        devices.push_back(ReadProbeMatch(document, match, source, sourceText));
    }
    return devices;
}

} // namespace ferrow
