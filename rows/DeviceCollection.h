#pragma once

#include "discovery/DeviceRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ferrow {

// Most rows one search lists; replies for further devices are counted and dropped, so
// that a host inventing addresses cannot grow the list without bound.
inline constexpr std::size_t kMaxDevicesPerSearch = 65536;

// A record never merges: the first reply of an IP text is the one kept.
inline bool MergeLater(DeviceRecord& /*listed*/, DeviceRecord&& /*later*/) {
    return false;
}

// What DeviceCollection::Add did with a row.
enum class AddOutcome {
    Added,         // appended as a new row
    Merged,        // folded into the row already listed for its IP text, which changed
    AlreadyListed, // dropped: its IP text is listed and it had nothing to add
    Full,          // dropped and counted: the collection holds its most rows
};

struct AddResult {
    AddOutcome outcome = AddOutcome::Added;
    std::size_t row = 0; // the index of the row added or merged into; 0 otherwise

    friend bool operator==(const AddResult&, const AddResult&) = default;
};

// The rows of a search, or of several merged, in arrival order: one per IP text (exact,
// case-sensitive comparison), and at most a fixed number of them. Row is a DeviceRecord
// or anything for which DeviceIpText(row) gives the row's IP text and
// MergeLater(listed, later) folds a later row of the same IP text into the listed one,
// saying whether the listed row changed. A hash index from IP text to row keeps adding
// O(1).
template <class Row> class DeviceCollection {
public:
    explicit DeviceCollection(std::size_t capacity = kMaxDevicesPerSearch) : m_capacity(capacity) {}

    // Appends the row unless its IP text is already listed, where it is merged into that
    // row, or the collection is full; a row turned away as full is counted.
    AddResult Add(Row row) {
        const std::u16string& ipText = DeviceIpText(row);
        if (const auto listed = m_rowOfIpText.find(ipText); listed != m_rowOfIpText.end()) {
            const std::size_t index = listed->second;
            if (MergeLater(m_rows[index], std::move(row))) {
                return {AddOutcome::Merged, index};
            }
            return {AddOutcome::AlreadyListed};
        }
        if (m_rows.size() >= m_capacity) {
            ++m_dropped;
            return {AddOutcome::Full};
        }
        m_rowOfIpText.emplace(ipText, m_rows.size());
        m_rows.push_back(std::move(row));
        return {AddOutcome::Added, m_rows.size() - 1};
    }

    // The index of the listed row of an IP text; none when it is not listed.
    std::optional<std::size_t> Find(const std::u16string& ipText) const {
        const auto listed = m_rowOfIpText.find(ipText);
        return listed == m_rowOfIpText.end() ? std::nullopt : std::optional(listed->second);
    }

    // Puts the row in the place of the listed row of its IP text, and returns that place;
    // none, and nothing changed, when its IP text is not listed.
    std::optional<std::size_t> Replace(Row row) {
        const std::optional<std::size_t> index = Find(DeviceIpText(row));
        if (index) {
            m_rows[*index] = std::move(row);
        }
        return index;
    }

    void Clear() {
        m_rows.clear();
        m_rowOfIpText.clear();
        m_dropped = 0;
    }

    const std::vector<Row>& Rows() const { return m_rows; }
    // Rows turned away because the collection was full. The IP texts of those are not
    // kept, so a device that answered twice then counts twice.
    std::uint64_t Dropped() const { return m_dropped; }

private:
    std::size_t m_capacity;
    std::vector<Row> m_rows;
    std::unordered_map<std::u16string, std::size_t> m_rowOfIpText;
    std::uint64_t m_dropped = 0;
};

// What a full list says of the rows it turned away.
std::string RowLimitText(std::uint64_t droppedRows);

} // namespace ferrow
