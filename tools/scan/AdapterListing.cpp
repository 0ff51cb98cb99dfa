#include "tools/scan/AdapterListing.h"

#include "platform/AdapterSource.h"
#include "platform/TextConversion.h"
#include "rows/TerminalText.h"

#include <algorithm>
#include <ostream>

namespace ferrow {

std::size_t AdapterListing::AddAdapter(std::u16string description, std::u16string macText) {
    m_adapters.push_back({std::move(description), std::move(macText), {}});
    return m_adapters.size() - 1;
}

void AdapterListing::AddAddress(std::size_t adapter, std::u16string addressText) {
    m_adapters.at(adapter).addresses.push_back(std::move(addressText));
}

std::vector<std::string> AdapterListing::SearchableAddresses() const {
    std::vector<std::string> addresses;
    for (const Adapter& adapter : m_adapters) {
        for (const std::u16string& address : adapter.addresses) {
            std::string narrow = Utf16ToNarrow(address);
            if (narrow != kNoIpv4Address &&
                std::find(addresses.begin(), addresses.end(), narrow) == addresses.end()) {
                addresses.push_back(std::move(narrow));
            }
        }
    }
    return addresses;
}

void AdapterListing::Write(std::ostream& out) const {
    out << "Computer\n";
    for (const Adapter& adapter : m_adapters) {
        out << "  " << ToUtf8(ForTerminal(adapter.description + u" (" + adapter.macText + u")"))
            << '\n';
        for (const std::u16string& address : adapter.addresses) {
            out << "    " << ToUtf8(ForTerminal(address)) << '\n';
        }
    }
}

} // namespace ferrow
