#include "discovery/DeviceCollection.h"

namespace ferrow {

bool DeviceCollection::Add(const DeviceRecord& record) {
    if (!m_ipTexts.insert(record.IP).second) {
        return false;
    }
    m_records.push_back(record);
    return true;
}

void DeviceCollection::Clear() {
    m_records.clear();
    m_ipTexts.clear();
}

} // namespace ferrow
