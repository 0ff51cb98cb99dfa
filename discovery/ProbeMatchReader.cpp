#include "discovery/ProbeMatchReader.h"

#include "discovery/WsDiscovery.h"
#include "platform/TextConversion.h"
#include "xml/CXmlDoc.h"
#include "xml/CharScan.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

namespace ferrow {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// One comparison for most characters: the four lie at or below ' '.
constexpr bool IsListSpace(char16_t c) {
    return c <= u' ' && (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r');
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
// rest; empty when none is left. Items are long and spaces single, so the item's end is
// searched a block at a time.
std::u16string_view NextListItem(std::u16string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsListSpace(rest[start])) {
        ++start;
    }
    // The document's text, and so every list, is shorter than 2^31 units.
    const auto end = static_cast<std::size_t>(FindFirstOf<u' ', u'\t', u'\n', u'\r'>(
        rest.data(), static_cast<std::int32_t>(start), static_cast<std::int32_t>(rest.size())));
    const std::u16string_view item = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return item;
}

// Whether text starts with the ASCII prefix, compared unit by unit.
constexpr bool StartsWithAscii(std::u16string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (text[i] != static_cast<unsigned char>(prefix[i])) {
            return false;
        }
    }
    return true;
}

// The same with A-Z in text taken as a-z, for a lower-case prefix.
bool StartsWithAsciiIgnoringCase(std::u16string_view text, std::string_view lowerCasePrefix) {
    if (text.size() < lowerCasePrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < lowerCasePrefix.size(); ++i) {
        const char16_t c = text[i];
        const char16_t lower = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
        if (lower != static_cast<unsigned char>(lowerCasePrefix[i])) {
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

// A dotted IPv4 address (Ipv4Address::FromDottedQuad) a device can be reached on: not
// 0/8, loopback, link-local, multicast or reserved.
std::optional<Ipv4Address> ReadUnicastIpv4(std::u16string_view host) {
    const auto address = Ipv4Address::FromDottedQuad(host);
    if (!address) {
        return std::nullopt;
    }
    // The address in network order is its octets in memory order.
    const auto octets = std::bit_cast<std::array<std::uint8_t, 4>>(address->NetworkOrder());
    const bool linkLocal = octets[0] == 169 && octets[1] == 254;
    if (octets[0] == 0 || octets[0] == 127 || octets[0] >= 224 || linkLocal) {
        return std::nullopt;
    }
    return address;
}

// An http or https URL (scheme in any case) whose authority is a unicast IPv4 address and
// an optional port. Userinfo, IPv6 literals and host names give nothing.
std::optional<ServiceAddress> ReadServiceAddress(std::u16string_view url) {
    ServiceAddress address{};
    if (StartsWithAsciiIgnoringCase(url, "http://")) {
        url.remove_prefix(7);
        address.https = false;
    } else if (StartsWithAsciiIgnoringCase(url, "https://")) {
        url.remove_prefix(8);
        address.https = true;
    } else {
        return std::nullopt;
    }
    const auto authorityEnd = static_cast<std::size_t>(
        FindFirstOf<u'/', u'?', u'#'>(url.data(), 0, static_cast<std::int32_t>(url.size())));
    const std::u16string_view authority = url.substr(0, authorityEnd);
    const std::size_t colon = authority.find(u':');
    // Host names, "[...]" and userinfo fail here or in the port: neither takes an '@'.
    const auto host = ReadUnicastIpv4(authority.substr(0, colon));
    if (!host) {
        return std::nullopt;
    }
    const std::uint16_t schemePort = address.https ? 443 : 80;
    // An empty port, after a colon or without one, is the scheme's own.
    const std::u16string_view portText =
        colon == std::u16string_view::npos ? std::u16string_view() : authority.substr(colon + 1);
    const auto port = portText.empty() ? std::optional(schemePort) : PortNumberFromText(portText);
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

// Whether text[at] starts a %XX escape.
bool IsEscapeAt(std::u16string_view text, std::size_t at) {
    return at + 2 < text.size() && text[at] == u'%' && HexValue(text[at + 1]) >= 0 &&
           HexValue(text[at + 2]) >= 0;
}

// The %XX escapes of text decoded to bytes and read as UTF-8; other characters, and '%'
// that starts no escape, stay. An escape cannot split a character written as it stands, so
// each run of escapes decodes on its own. text as it stands when a run is not UTF-8.
std::u16string PercentDecoded(std::u16string_view text) {
    std::u16string decoded;
    std::string bytes;
    std::size_t copied = 0; // text before this is in decoded
    for (std::size_t at = text.find(u'%'); at < text.size(); at = text.find(u'%', at)) {
        if (!IsEscapeAt(text, at)) {
            ++at;
            continue;
        }
        decoded.append(text.substr(copied, at - copied));
        bytes.clear();
        for (; IsEscapeAt(text, at); at += 3) {
            bytes += static_cast<char>(HexValue(text[at + 1]) << 4 | HexValue(text[at + 2]));
        }
        const auto run = WellFormedUtf8ToUtf16(bytes);
        if (!run) {
            return std::u16string(text);
        }
        decoded += *run;
        copied = at;
    }
    decoded.append(text.substr(copied));
    return decoded;
}

// The scopes the record's texts come from: the rest of the first scope of each prefix.
struct DeviceScopes {
    std::optional<std::u16string_view> name, hardware, mac;
};

// The start the three prefixes share, compared once for each scope, a block at a time.
constexpr std::u16string_view kOnvifScopeRoot = u"onvif://www.onvif.org/";
static_assert(StartsWithAscii(kOnvifScopeRoot, kOnvifNameScope.substr(0, kOnvifScopeRoot.size())) &&
              StartsWithAscii(kOnvifScopeRoot,
                              kOnvifHardwareScope.substr(0, kOnvifScopeRoot.size())) &&
              StartsWithAscii(kOnvifScopeRoot, kOnvifMacScope.substr(0, kOnvifScopeRoot.size())));

bool StartsWithScopeRoot(std::u16string_view scope) {
    return scope.size() >= kOnvifScopeRoot.size() &&
           std::memcmp(scope.data(), kOnvifScopeRoot.data(),
                       kOnvifScopeRoot.size() * sizeof(char16_t)) == 0;
}

DeviceScopes FindDeviceScopes(std::u16string_view scopes) {
    DeviceScopes found;
    const auto take = [](std::optional<std::u16string_view>& rest, std::u16string_view scope,
                         std::string_view prefix) {
        prefix.remove_prefix(kOnvifScopeRoot.size());
        if (!rest && StartsWithAscii(scope, prefix)) {
            rest = scope.substr(prefix.size());
        }
    };
    for (std::u16string_view scope = NextListItem(scopes); !scope.empty();
         scope = NextListItem(scopes)) {
        if (StartsWithScopeRoot(scope)) {
            scope.remove_prefix(kOnvifScopeRoot.size());
            take(found.name, scope, kOnvifNameScope);
            take(found.hardware, scope, kOnvifHardwareScope);
            take(found.mac, scope, kOnvifMacScope);
        }
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
    if (!document.LoadText(Utf8ToUtf16(datagram))) {
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
