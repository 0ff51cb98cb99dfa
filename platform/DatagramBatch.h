#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ferrow {

// The datagrams one batched read took, in arrival order, with their sources. Each keeps at
// most the batch's datagram size; a larger one is cut to it and marked oversize.
struct DatagramBatch {
    static constexpr int kCapacity = 64; // the most a batch can be made for

    // Room for datagramsPerBatch (at most kCapacity) datagrams of bytesPerDatagram each.
    explicit DatagramBatch(int bytesPerDatagram, int datagramsPerBatch = kCapacity)
        : datagramBytes(bytesPerDatagram), capacity(datagramsPerBatch),
          bytes(static_cast<std::size_t>(datagramsPerBatch) *
                static_cast<std::size_t>(bytesPerDatagram)) {}

    // Where the datagram of the given index is read to: datagramBytes bytes.
    char* Slot(int index) { return bytes.data() + Offset(index); }

    std::string_view Datagram(int index) const {
        return {bytes.data() + Offset(index),
                static_cast<std::size_t>(lengths[static_cast<std::size_t>(index)])};
    }

    const int datagramBytes;
    const int capacity;
    int count = 0;
    std::array<int, kCapacity> lengths{}; // bytes kept of each
    std::array<bool, kCapacity> oversize{};
    std::array<std::uint32_t, kCapacity> sources{}; // IPv4 source address, network order

private:
    std::size_t Offset(int index) const {
        return static_cast<std::size_t>(index) * static_cast<std::size_t>(datagramBytes);
    }

    std::vector<char> bytes;
};

} // namespace ferrow
