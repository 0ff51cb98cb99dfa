#pragma once

#include "discovery/DeviceRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ferrow {

// Most rows one search lists; replies for further recorders are counted and dropped, so
// that a host inventing addresses cannot grow the list without bound.
inline constexpr std::size_t kMaxDevicesPerSearch = 65536;

// The rows of a search, or of several merged, in arrival order: one per IP text (exact,
// case-sensitive comparison), and at most a fixed number of them. Row is a DeviceRecord
// or anything for which DeviceIpText(row) gives the record's IP text. A hash index of the
// IP texts beside the rows keeps adding O(1).
template <class Row> class DeviceCollection {
public:
    enum class AddResult { Added, AlreadyListed, Full };

    explicit DeviceCollection(std::size_t capacity = kMaxDevicesPerSearch) : m_capacity(capacity) {}

    // Appends the row unless its IP text is already held or the collection is full; a row
    // turned away as full is counted.
    AddResult Add(Row row) {
        const std::u16string& ipText = DeviceIpText(row);
        if (m_ipTexts.contains(ipText)) {
            return AddResult::AlreadyListed;
        }
        if (m_rows.size() >= m_capacity) {
            ++m_dropped;
            return AddResult::Full;
        }
        m_ipTexts.insert(ipText);
        m_rows.push_back(std::move(row));
        return AddResult::Added;
    }

    void Clear() {
        m_rows.clear();
        m_ipTexts.clear();
        m_dropped = 0;
    }

    const std::vector<Row>& Rows() const { return m_rows; }
    // Rows turned away because the collection was full. The IP texts of those are not
    // kept, so a recorder that answered twice then counts twice.
    std::uint64_t Dropped() const { return m_dropped; }

private:
    std::size_t m_capacity;
    std::vector<Row> m_rows;
    std::unordered_set<std::u16string> m_ipTexts;
    std::uint64_t m_dropped = 0;
};

// What a full list says of the rows it turned away.
std::string RowLimitText(std::uint64_t droppedRows);

} // namespace ferrow
