#pragma once

#include "discovery/DeviceCollection.h"
#include "discovery/DeviceRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace ferrow {

// One recorder as ferrow-scan reports it: the reply's fields and the local address whose
// search first heard it.
struct ScanRow {
    DeviceRecord record;
    std::u16string localAddress;
};

// The rows of several searches merged: a recorder (known by its IP text, by the same rule
// as the window's list) is one row, kept from the first search that heard it.
class ScanResults {
public:
    // Adds the record unless its IP text is already held; returns whether it was added.
    bool Add(const DeviceRecord& record, std::u16string_view localAddress);

    // Rows in arrival order.
    std::vector<ScanRow> Rows() const;
    std::size_t Count() const { return m_localAddresses.size(); }

private:
    DeviceCollection m_devices;
    std::vector<std::u16string> m_localAddresses; // parallel to m_devices.Records()
};

} // namespace ferrow
