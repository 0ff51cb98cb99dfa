#pragma once

#include "rows/DeviceRow.h"
#include "rows/WatchedRows.h"

#include <QTimer>
#include <chrono>
#include <functional>
#include <vector>

namespace ferrow {

// The rounds of "Keep Searching": the window's searches run again and again, each round
// starting one interval after the one before started, or as soon as that one ended when it
// took longer; the rows they hear are watched across rounds, the gone ones kept and
// marked. The owner runs a round's searches when startRound is called (and the first
// after Start), passes their rows to Hear and calls EndRound when the last has ended.
//
// Threads: made, used and destroyed on the window's thread; startRound is called from its
// event loop, never from a call of this object.
class SearchRounds {
public:
    static constexpr std::chrono::milliseconds kDefaultInterval{10000};

    explicit SearchRounds(std::function<void()> startRound);

    // The time from the start of one round to the next; tests take a shorter one.
    void SetInterval(std::chrono::milliseconds interval) { m_interval = interval; }
    std::chrono::milliseconds Interval() const { return m_interval; }

    // Forgets the rounds before; round 1 runs from now.
    void Start();
    // Forgets the rounds: none runs or follows.
    void Stop();
    // The running round, if any, is the last one.
    void StopRepeating();

    // From Start until Stop: rows are heard and rounds end.
    bool Watching() const { return m_round > 0; }
    // Another round follows the running one, or is due.
    bool Repeating() const { return m_repeating; }
    // The number of the running or last round, from 1; 0 when not watching.
    int Round() const { return m_round; }

    void Hear(const std::vector<DeviceRow>& rows);
    // Ends the running round and says what it changed; the next starts when it is due.
    std::vector<WatchEvent> EndRound();
    const WatchedRows& Rows() const { return m_rows; }

private:
    void StartNextRound();

    std::function<void()> m_startRound;
    std::chrono::milliseconds m_interval = kDefaultInterval;
    WatchedRows m_rows{WatchedRows::GoneRows::Keep};
    QTimer m_nextRound;
    std::chrono::steady_clock::time_point m_roundStart;
    int m_round = 0;
    bool m_repeating = false;
};

} // namespace ferrow
