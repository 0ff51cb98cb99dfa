#include "ui/SearchRounds.h"

#include <algorithm>

namespace ferrow {

SearchRounds::SearchRounds(std::function<void()> startRound) : m_startRound(std::move(startRound)) {
    m_nextRound.setSingleShot(true);
    QObject::connect(&m_nextRound, &QTimer::timeout, [this] { StartNextRound(); });
}

void SearchRounds::Start() {
    Stop();
    m_round = 1;
    m_repeating = true;
    m_roundStart = std::chrono::steady_clock::now();
}

void SearchRounds::Stop() {
    m_nextRound.stop();
    m_rows = WatchedRows(WatchedRows::GoneRows::Keep);
    m_round = 0;
    m_repeating = false;
}

void SearchRounds::StopRepeating() {
    m_nextRound.stop();
    m_repeating = false;
}

void SearchRounds::Hear(const std::vector<DeviceRow>& rows) {
    for (const DeviceRow& row : rows) {
        m_rows.Hear(row);
    }
}

std::vector<WatchEvent> SearchRounds::EndRound() {
    std::vector<WatchEvent> events = m_rows.EndRound(std::chrono::system_clock::now());
    if (m_repeating) {
        const auto ran = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - m_roundStart);
        m_nextRound.start(std::max(m_interval - ran, std::chrono::milliseconds(0)));
    }
    return events;
}

void SearchRounds::StartNextRound() {
    ++m_round;
    m_roundStart = std::chrono::steady_clock::now();
    m_startRound();
}

} // namespace ferrow
