#include "platform/Ipv4Address.h"

#include "platform/SocketApi.h"

#include <algorithm>
#include <array>
#include <bit>

namespace ferrow {

Ipv4Address Ipv4Address::FromText(const std::string& text) {
    return FromNetworkOrder(socket_api::InetAddr(text.c_str()));
}

template <class Char>
std::optional<Ipv4Address> Ipv4Address::FromDottedQuad(std::basic_string_view<Char> text) {
    const auto isDigit = [](Char c) { return c >= Char('0') && c <= Char('9'); };
    std::array<std::uint8_t, 4> octets{};
    std::size_t at = 0;
    for (std::size_t octet = 0; octet < octets.size(); ++octet) {
        if (octet > 0) {
            if (at >= text.size() || text[at] != Char('.')) {
                return std::nullopt;
            }
            ++at;
        }
        const std::size_t start = at;
        unsigned value = 0;
        while (at < text.size() && isDigit(text[at]) && at - start < 3) {
            value = value * 10 + static_cast<unsigned>(text[at++] - Char('0'));
        }
        const std::size_t digits = at - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == Char('0'))) {
            return std::nullopt;
        }
        octets[octet] = static_cast<std::uint8_t>(value);
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    // The octets in memory order are the address in network order.
    return FromNetworkOrder(std::bit_cast<std::uint32_t>(octets));
}

template std::optional<Ipv4Address> Ipv4Address::FromDottedQuad(std::string_view);
template std::optional<Ipv4Address> Ipv4Address::FromDottedQuad(std::u16string_view);

std::string Ipv4Address::Text() const {
    const std::uint32_t host = ntohl(m_networkOrder);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((host >> shift) & 0xFFu);
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
}

std::optional<std::uint16_t> PortNumberFromText(std::u16string_view text) {
    std::uint32_t port = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
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

void AppendSearchable(std::vector<Ipv4Address>& addresses, Ipv4Address address) {
    if (address.CanSearchFrom() &&
        std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(address);
    }
}

} // namespace ferrow
