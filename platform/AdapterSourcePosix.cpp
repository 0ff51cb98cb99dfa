#include "platform/AdapterSource.h"

#include <algorithm>
#include <ifaddrs.h>
#include <map>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>

namespace ferrow {

namespace {

constexpr std::size_t kMaxHardwareAddressLength = 8;

// An address label ("eth0:1") belongs to its interface ("eth0").
std::string InterfaceName(const char* entryName) {
    const std::string name(entryName);
    return name.substr(0, name.find(':'));
}

Ipv4Address Ipv4Of(const sockaddr* address) {
    if (address == nullptr || address->sa_family != AF_INET) {
        return {};
    }
    return Ipv4Address::FromNetworkOrder(
        reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

} // namespace

std::vector<AdapterInfo> SystemAdapterSource::ListAdapters() const {
    ifaddrs* entries = nullptr;
    if (::getifaddrs(&entries) != 0) {
        return {};
    }
    // Keyed by interface index so that the adapters come out in index order.
    std::map<unsigned, AdapterInfo> byIndex;
    for (const ifaddrs* entry = entries; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const int family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_PACKET) {
            continue;
        }
        const std::string name = InterfaceName(entry->ifa_name);
        const unsigned index = ::if_nametoindex(name.c_str());
        if (index == 0) {
            continue;
        }
        AdapterInfo& adapter = byIndex[index];
        adapter.description = name;
        if (family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
            const std::size_t length =
                std::min<std::size_t>(link->sll_halen, kMaxHardwareAddressLength);
            adapter.hardwareAddress.assign(link->sll_addr, link->sll_addr + length);
        } else {
            adapter.ipv4Addresses.push_back(
                {Ipv4Of(entry->ifa_addr).Text(), Ipv4Of(entry->ifa_netmask)});
        }
    }
    ::freeifaddrs(entries);

    std::vector<AdapterInfo> adapters;
    adapters.reserve(byIndex.size());
    for (auto& [index, adapter] : byIndex) {
        if (adapter.ipv4Addresses.empty()) {
            adapter.ipv4Addresses.push_back({std::string(kNoIpv4Address), Ipv4Address()});
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

} // namespace ferrow
