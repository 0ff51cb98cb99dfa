#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferrow {

// The address an adapter without IPv4 address lists: Windows' GetAdaptersInfo gives it so,
// and the POSIX source writes the same, so that such an adapter looks alike on both. No
// search starts from it.
inline constexpr std::string_view kNoIpv4Address = "0.0.0.0";

// One network adapter as the adapter tree shows it.
struct AdapterInfo {
    std::string description;                   // narrow text of the platform
    std::vector<std::uint8_t> hardwareAddress; // 0 to 8 bytes
    std::vector<std::string> ipv4Addresses;    // dotted-decimal; kNoIpv4Address when none
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
