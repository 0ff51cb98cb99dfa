#pragma once

#include "discovery/DiscoveryProtocol.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace ferrow {

// The datagrams one read of the discovery port took, in arrival order. Each keeps at most
// the 1024 bytes a reply may have; a larger one is cut and marked oversize.
struct DatagramBatch {
    static constexpr int kCapacity = 64;

    int count = 0;
    std::array<int, kCapacity> lengths{}; // bytes kept of each
    std::array<bool, kCapacity> oversize{};
    std::array<std::array<char, kReceiveBufferSize>, kCapacity> bytes;

    std::string_view Datagram(int index) const {
        return {bytes[static_cast<std::size_t>(index)].data(),
                static_cast<std::size_t>(lengths[static_cast<std::size_t>(index)])};
    }
};

} // namespace ferrow
