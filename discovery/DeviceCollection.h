#pragma once

#include "discovery/DeviceRecord.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace ferrow {

// The records of one search in arrival order, one per IP text (exact, case-sensitive),
// with a hash index of the IP texts beside them so that adding stays O(1).
class DeviceCollection {
public:
    // Appends the record; false (and nothing kept) when its IP text is already held.
    bool Add(const DeviceRecord& record);
    void Clear();
    const std::vector<DeviceRecord>& Records() const { return m_records; }

private:
    std::vector<DeviceRecord> m_records;
    std::unordered_set<std::u16string> m_ipTexts;
};

} // namespace ferrow
