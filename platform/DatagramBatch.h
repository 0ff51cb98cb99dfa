#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace ferrow {

// The datagrams one batched read took, in arrival order. Each keeps at most the batch's
// datagram size; a larger one is cut to it and marked oversize.
struct DatagramBatch {
    static constexpr int kCapacity = 64;

    explicit DatagramBatch(int bytesPerDatagram)
        : datagramBytes(bytesPerDatagram),
          bytes(kCapacity * static_cast<std::size_t>(bytesPerDatagram)) {}

    // Where the datagram of the given index is read to: datagramBytes bytes.
    char* Slot(int index) { return bytes.data() + Offset(index); }

    std::string_view Datagram(int index) const {
        return {bytes.data() + Offset(index),
                static_cast<std::size_t>(lengths[static_cast<std::size_t>(index)])};
    }

    const int datagramBytes;
    int count = 0;
    std::array<int, kCapacity> lengths{}; // bytes kept of each
    std::array<bool, kCapacity> oversize{};

private:
    std::size_t Offset(int index) const {
        return static_cast<std::size_t>(index) * static_cast<std::size_t>(datagramBytes);
    }

    std::vector<char> bytes;
};

} // namespace ferrow
