// Reads arbitrary bytes as a ProbeMatches datagram: the first four bytes are the address it
// came from (network order), the rest the datagram. Checks what every device row promises:
// an http or https scheme, a canonical dotted IPv4 address that a device can have (or the
// source's), and a port of 1-65535 in plain decimal.
#include "discovery/ProbeMatchReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace ferrow;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string Narrow(const std::u16string& ascii) {
    std::string narrow;
    for (const char16_t c : ascii) {
        Require(c < 0x80);
        narrow += static_cast<char>(c);
    }
    return narrow;
}

void CheckPort(const std::string& port) {
    Require(!port.empty() && port.size() <= 5 && port[0] != '0');
    Require(port.find_first_not_of("0123456789") == std::string::npos);
    Require(std::stoul(port) <= 65535);
}

void CheckAddress(const std::string& ip, Ipv4Address source) {
    const Ipv4Address address = Ipv4Address::FromText(ip);
    Require(address.Text() == ip);
    if (address == source) {
        return;
    }
    const auto first = static_cast<std::uint8_t>(address.NetworkOrder());
    const auto second = static_cast<std::uint8_t>(address.NetworkOrder() >> 8);
    Require(first != 0 && first != 127 && first < 224 && !(first == 169 && second == 254));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t networkOrder = 0;
    if (size >= 4) {
        std::memcpy(&networkOrder, data, 4);
        data += 4;
        size -= 4;
    }
    const Ipv4Address source = Ipv4Address::FromNetworkOrder(networkOrder);
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);

    const auto devices = ReadProbeMatches(datagram, source);
    // Markup names cannot be written as references: without the name there is no match.
    Require(devices.empty() || datagram.find("ProbeMatch") != std::string_view::npos);
    for (const OnvifDevice& device : devices) {
        Require(device.webScheme == u"http" || device.webScheme == u"https");
        CheckAddress(Narrow(device.record.IP), source);
        CheckPort(Narrow(device.record.HttpPort));
    }
    return 0;
}
