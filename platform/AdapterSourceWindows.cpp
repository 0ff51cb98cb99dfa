#include "platform/AdapterSource.h"

#include <winsock2.h>
#include <algorithm>
#include <iphlpapi.h>
#include <memory>

namespace ferrow {

std::vector<AdapterInfo> SystemAdapterSource::ListAdapters() const {
    // First ask for the size; anything but "buffer too small" means there is nothing to list.
    ULONG size = 0;
    if (::GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) {
        return {};
    }
    auto buffer = std::make_unique<unsigned char[]>(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.get());
    if (::GetAdaptersInfo(first, &size) != NO_ERROR) {
        return {};
    }
    std::vector<AdapterInfo> adapters;
    for (const IP_ADAPTER_INFO* adapter = first; adapter != nullptr; adapter = adapter->Next) {
        AdapterInfo info;
        info.description = adapter->Description;
        const UINT length = std::min<UINT>(adapter->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
        info.hardwareAddress.assign(adapter->Address, adapter->Address + length);
        for (const IP_ADDR_STRING* entry = &adapter->IpAddressList; entry != nullptr;
             entry = entry->Next) {
            // inet_addr reads "255.255.255.255" (a host route's mask) as INADDR_NONE, which
            // is the same 32 bits.
            info.ipv4Addresses.push_back(
                {entry->IpAddress.String, Ipv4Address::FromText(entry->IpMask.String)});
        }
        adapters.push_back(std::move(info));
    }
    return adapters;
}

} // namespace ferrow
