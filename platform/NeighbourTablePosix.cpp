#include "platform/NeighbourTable.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace ferrow {

namespace {

// The kernel's flag for an entry whose hardware address is known (ATF_COM).
constexpr unsigned kCompleteEntry = 0x2;

} // namespace

std::vector<NeighbourEntry> ReadNeighbourTable() {
    // One line per entry after the header: address, hardware type, flags, hardware
    // address, mask, device.
    std::ifstream file("/proc/net/arp");
    std::vector<NeighbourEntry> table;
    std::string line;
    std::getline(file, line);
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string address, hardwareType, flags, hardwareAddress;
        unsigned flagBits = 0;
        unsigned char bytes[6];
        if ((fields >> address >> hardwareType >> flags >> hardwareAddress) &&
            std::sscanf(flags.c_str(), "%x", &flagBits) == 1 && (flagBits & kCompleteEntry) != 0 &&
            std::sscanf(hardwareAddress.c_str(), "%2hhx:%2hhx:%2hhx:%2hhx:%2hhx:%2hhx", &bytes[0],
                        &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5]) == 6) {
            table.push_back({Ipv4Address::FromText(address), MacText(bytes)});
        }
    }
    return table;
}

} // namespace ferrow
