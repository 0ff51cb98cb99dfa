#pragma once

#include "platform/Ipv4Address.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferrow {

// The address an adapter without IPv4 address lists: Windows' GetAdaptersInfo gives it so,
// and the POSIX source writes the same, so that such an adapter looks alike on both. No
// search starts from it.
inline constexpr std::string_view kNoIpv4Address = "0.0.0.0";

// One IPv4 address of an adapter with the netmask of its network.
struct AdapterAddress {
    std::string text;    // dotted-decimal; kNoIpv4Address when the adapter has none
    Ipv4Address netmask; // 0.0.0.0 beside kNoIpv4Address, and when the system names none

    friend bool operator==(const AdapterAddress&, const AdapterAddress&) = default;
};

// One network adapter as the adapter tree shows it.
struct AdapterInfo {
    std::string description;                   // narrow text of the platform
    std::vector<std::uint8_t> hardwareAddress; // 0 to 8 bytes
    std::vector<AdapterAddress> ipv4Addresses; // in the system's order; never empty
};

// Supplies the adapters in a stable order; tests put a fake in its place.
class AdapterSource {
public:
    virtual ~AdapterSource() = default;
    virtual std::vector<AdapterInfo> ListAdapters() const = 0;
};

// The system's adapters: getifaddrs on POSIX (interfaces in index order, loopback left
// out, the interface name as description), GetAdaptersInfo on Windows. An empty list
// when the system cannot be asked.
class SystemAdapterSource final : public AdapterSource {
public:
    std::vector<AdapterInfo> ListAdapters() const override;
};

} // namespace ferrow
