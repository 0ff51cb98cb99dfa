#pragma once

#include <cstdint>

namespace ferrow {

// The discovery protocols a search speaks: the port-2900 probe and ONVIF's WS-Discovery.
enum class DeviceProtocol : std::uint8_t {
    Udp2900 = 1,
    Onvif = 2,
};

// A set of protocols: those a search speaks, or those that answered for one device.
class ProtocolSet {
public:
    constexpr ProtocolSet() = default;
    constexpr ProtocolSet(DeviceProtocol protocol) // NOLINT: one protocol is a set of one
        : m_bits(static_cast<std::uint8_t>(protocol)) {}

    static constexpr ProtocolSet All() {
        return ProtocolSet(DeviceProtocol::Udp2900).With(DeviceProtocol::Onvif);
    }

    constexpr bool Has(DeviceProtocol protocol) const {
        return (m_bits & static_cast<std::uint8_t>(protocol)) != 0;
    }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr ProtocolSet With(ProtocolSet other) const {
        ProtocolSet both;
        both.m_bits = static_cast<std::uint8_t>(m_bits | other.m_bits);
        return both;
    }

    friend constexpr bool operator==(ProtocolSet, ProtocolSet) = default;

private:
    std::uint8_t m_bits = 0;
};

} // namespace ferrow
