#include "platform/NeighbourTable.h"

// netioapi.h declares the table calls only once ws2ipdef.h has been read.
// clang-format off
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>
// clang-format on

#include <algorithm>

namespace ferrow {

namespace {

// Entries whose hardware address is known.
bool IsResolved(NL_NEIGHBOR_STATE state) {
    return state == NlnsReachable || state == NlnsStale || state == NlnsDelay ||
           state == NlnsProbe || state == NlnsPermanent;
}

} // namespace

std::vector<NeighbourEntry> ReadNeighbourTable() {
    MIB_IPNET_TABLE2* rows = nullptr;
    if (::GetIpNetTable2(AF_INET, &rows) != NO_ERROR) {
        return {};
    }
    std::vector<NeighbourEntry> table;
    for (ULONG i = 0; i < rows->NumEntries; ++i) {
        const MIB_IPNET_ROW2& row = rows->Table[i];
        if (row.PhysicalAddressLength == 6 && IsResolved(row.State)) {
            unsigned char bytes[6];
            std::copy(row.PhysicalAddress, row.PhysicalAddress + 6, bytes);
            table.push_back(
                {Ipv4Address::FromNetworkOrder(row.Address.Ipv4.sin_addr.s_addr), MacText(bytes)});
        }
    }
    ::FreeMibTable(rows);
    return table;
}

} // namespace ferrow
