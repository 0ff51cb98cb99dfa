#pragma once

#include "rows/DeviceCollection.h"
#include "rows/DeviceRow.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace ferrow {

// A device that this many searches in a row did not hear is gone.
inline constexpr int kRoundsUntilGone = 3;

enum class WatchEventKind {
    Found,   // an IP text not known before, or known and gone, was heard
    Changed, // a field of a known IP text's row is not what it was
    Gone,    // a known IP text was not heard in kRoundsUntilGone searches in a row
};

struct WatchEvent {
    WatchEventKind kind = WatchEventKind::Found;
    DeviceRow row; // as heard in the round; for Gone, as last heard

    friend bool operator==(const WatchEvent&, const WatchEvent&) = default;
};

// A known row and what the rounds said of it.
struct WatchedRow {
    DeviceRow row;
    std::chrono::system_clock::time_point lastSeen; // end of the last round that heard it
    int roundsMissed = 0;                           // rounds in a row that did not hear it
    bool gone = false; // missed kRoundsUntilGone rounds; kept only by GoneRows::Keep
};

// The rows of a search repeated in rounds, and what each round changed. The rows heard in
// a round are merged by IP text as one search merges them; when the round ends they are
// compared with the rows known from earlier rounds. Memory stays flat from round to round:
// it holds the known rows and one round's, each at most `capacity` of them.
// Not synchronised: one thread owns it and makes every call.
class WatchedRows {
public:
    enum class GoneRows {
        Forget, // a gone row leaves the list; heard again, it is found anew
        Keep,   // a gone row stays, marked; heard again, it is found anew and unmarked
    };

    explicit WatchedRows(GoneRows goneRows = GoneRows::Forget,
                         std::size_t capacity = kMaxDevicesPerSearch);

    // A row heard in the running round.
    void Hear(DeviceRow row);

    // Ends the running round at `now` and starts the next. Returns what changed: Found and
    // Changed in the order the round heard them, then Gone in the order the rows were
    // first found. A row that a full list turns away is counted in Dropped().
    std::vector<WatchEvent> EndRound(std::chrono::system_clock::time_point now);

    // The known rows, in the order they were first found.
    const std::vector<WatchedRow>& Rows() const { return m_rows; }
    // The known row of an IP text; null when none.
    const WatchedRow* Find(const std::u16string& ipText) const;
    // Rows turned away because the list was full, in every round so far.
    std::uint64_t Dropped() const { return m_dropped; }

private:
    void ForgetGoneRows();

    GoneRows m_goneRows;
    std::size_t m_capacity;
    DeviceCollection<DeviceRow> m_round;
    std::vector<WatchedRow> m_rows;
    std::unordered_map<std::u16string, std::size_t> m_rowOfIpText;
    std::vector<bool> m_heard; // per known row: heard in the round being ended
    std::uint64_t m_dropped = 0;
};

} // namespace ferrow
