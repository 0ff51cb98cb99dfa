#include "tools/scan/AdapterListing.h"

#include "platform/AdapterSource.h"
#include "platform/TextConversion.h"
#include "rows/TerminalText.h"

#include <ostream>

namespace ferrow {

std::size_t AdapterListing::AddAdapter(std::u16string description, std::u16string macText) {
    m_adapters.push_back({std::move(description), std::move(macText), {}});
    return m_adapters.size() - 1;
}

void AdapterListing::AddAddress(std::size_t adapter, std::u16string addressText,
                                Ipv4Address netmask) {
    const Ipv4Address address = Ipv4Address::FromText(Utf16ToNarrow(addressText));
    m_adapters.at(adapter).addresses.push_back({std::move(addressText), address, netmask});
}

std::vector<Ipv4Address> AdapterListing::SearchableAddresses() const {
    std::vector<Ipv4Address> addresses;
    for (const Adapter& adapter : m_adapters) {
        for (const Address& entry : adapter.addresses) {
            AppendSearchable(addresses, entry.address);
        }
    }
    return addresses;
}

Ipv4Address AdapterListing::NetmaskOf(Ipv4Address address) const {
    for (const Adapter& adapter : m_adapters) {
        for (const Address& entry : adapter.addresses) {
            if (entry.address == address) {
                return entry.netmask;
            }
        }
    }
    return {};
}

void AdapterListing::Write(std::ostream& out) const {
    out << "Computer\n";
    for (const Adapter& adapter : m_adapters) {
        out << "  " << ToUtf8(ForTerminal(adapter.description + u" (" + adapter.macText + u")"))
            << '\n';
        for (const Address& entry : adapter.addresses) {
            out << "    " << ToUtf8(ForTerminal(entry.text)) << '\n';
        }
    }
}

} // namespace ferrow
