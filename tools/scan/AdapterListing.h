#pragma once

#include "platform/Ipv4Address.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace ferrow {

// ferrow-scan's list of this machine's adapters and their IPv4 addresses: what
// --list-adapters prints (in the shape of the window's tree) and what --all searches from.
// Filled by the adapter enumeration through the frame.
class AdapterListing {
public:
    struct Address {
        std::u16string text;
        Ipv4Address address; // as the window's tree stores it
        Ipv4Address netmask;
    };
    struct Adapter {
        std::u16string description;
        std::u16string macText;
        std::vector<Address> addresses;
    };

    // Returns the new adapter's index, the node handle the enumeration hands back.
    std::size_t AddAdapter(std::u16string description, std::u16string macText);
    void AddAddress(std::size_t adapter, std::u16string addressText, Ipv4Address netmask);

    const std::vector<Adapter>& Adapters() const { return m_adapters; }

    // Every address a search can start from, in tree order: 0.0.0.0 (an adapter without an
    // address) is skipped, and an address under two adapters is searched once.
    std::vector<Ipv4Address> SearchableAddresses() const;

    // The netmask listed with the address (its first listing); 0.0.0.0, every address in
    // one network, for an address not listed.
    Ipv4Address NetmaskOf(Ipv4Address address) const;

    // "Computer", then "description (MAC)" per adapter, then its addresses, indented.
    void Write(std::ostream& out) const;

private:
    std::vector<Adapter> m_adapters;
};

} // namespace ferrow
