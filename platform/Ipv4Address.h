#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrow {

// An IPv4 address as the sockets take it: 32 bits in network byte order. It goes as this
// value from the adapter list to the socket; text is made only where a person reads it.
class Ipv4Address {
public:
    constexpr Ipv4Address() = default; // 0.0.0.0

    static constexpr Ipv4Address FromNetworkOrder(std::uint32_t networkOrder) {
        Ipv4Address address;
        address.m_networkOrder = networkOrder;
        return address;
    }

    // As inet_addr reads text (short and numeric forms included): 255.255.255.255
    // (INADDR_NONE) for text that is no address.
    static Ipv4Address FromText(const std::string& text);

    // Only the plain dotted-decimal form: four numbers of 0 to 255 in decimal digits, no
    // leading zero, nothing around them. Short, hex and octal forms give nothing: a browser
    // reads "010.0.0.1" as another address than a person does.
    static std::optional<Ipv4Address> FromDottedText(std::u16string_view text);

    constexpr std::uint32_t NetworkOrder() const { return m_networkOrder; }

    // Dotted-decimal text, as inet_ntoa writes it.
    std::string Text() const;

    // Whether a search can start from it. 0.0.0.0 is what an adapter without an IPv4
    // address lists; a search from it would go out on no adapter in particular.
    constexpr bool CanSearchFrom() const { return m_networkOrder != 0; }

    friend constexpr bool operator==(Ipv4Address, Ipv4Address) = default;

private:
    std::uint32_t m_networkOrder = 0;
};

// Appends the address to a list to search from, unless a search cannot start from it or
// the list holds it already: a search from every address goes out once from each.
void AppendSearchable(std::vector<Ipv4Address>& addresses, Ipv4Address address);

} // namespace ferrow
