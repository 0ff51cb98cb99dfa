#include "tools/scan/ScanResults.h"

namespace ferrow {

bool ScanResults::Add(const DeviceRecord& record, std::u16string_view localAddress) {
    if (!m_devices.Add(record)) {
        return false;
    }
    m_localAddresses.emplace_back(localAddress);
    return true;
}

std::vector<ScanRow> ScanResults::Rows() const {
    const std::vector<DeviceRecord>& records = m_devices.Records();
    std::vector<ScanRow> rows;
    rows.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        rows.push_back({records[i], m_localAddresses[i]});
    }
    return rows;
}

} // namespace ferrow
