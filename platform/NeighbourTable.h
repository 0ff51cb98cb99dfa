#pragma once

#include "platform/Ipv4Address.h"

#include <optional>
#include <string>
#include <vector>

namespace ferrow {

// One resolved entry of this computer's neighbour (ARP) table: an IPv4 neighbour and its
// hardware (MAC) address, as six lower-case hex pairs joined by colons.
struct NeighbourEntry {
    Ipv4Address address;
    std::string macText;
};

// The table's resolved IPv4 entries, read afresh: /proc/net/arp on Linux (this network
// namespace's table), GetIpNetTable2 on Windows. Entries still being resolved are left
// out. Safe from any thread.
std::vector<NeighbourEntry> ReadNeighbourTable();

// The hardware address the table read holds for the neighbour, if any.
std::optional<std::string> MacTextOf(const std::vector<NeighbourEntry>& table,
                                     Ipv4Address neighbour);

// Six bytes as NeighbourMacText writes them.
std::string MacText(const unsigned char (&bytes)[6]);

} // namespace ferrow
