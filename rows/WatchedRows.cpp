#include "rows/WatchedRows.h"

#include <utility>

namespace ferrow {

WatchedRows::WatchedRows(GoneRows goneRows, std::size_t capacity)
    : m_goneRows(goneRows), m_capacity(capacity), m_round(capacity) {}

void WatchedRows::Hear(DeviceRow row) {
    m_round.Add(std::move(row));
}

std::vector<WatchEvent> WatchedRows::EndRound(std::chrono::system_clock::time_point now) {
    std::vector<WatchEvent> events;
    m_heard.assign(m_rows.size(), false);
    for (const DeviceRow& heard : m_round.Rows()) {
        const auto known = m_rowOfIpText.find(heard.record.IP);
        if (known == m_rowOfIpText.end()) {
            if (m_rows.size() >= m_capacity) {
                ++m_dropped;
                continue;
            }
            m_rowOfIpText.emplace(heard.record.IP, m_rows.size());
            m_rows.push_back({heard, now});
            m_heard.push_back(true);
            events.push_back({WatchEventKind::Found, heard});
            continue;
        }
        WatchedRow& watched = m_rows[known->second];
        m_heard[known->second] = true;
        watched.lastSeen = now;
        watched.roundsMissed = 0;
        if (watched.gone || watched.row != heard) {
            events.push_back(
                {watched.gone ? WatchEventKind::Found : WatchEventKind::Changed, heard});
            watched.row = heard;
            watched.gone = false;
        }
    }
    m_dropped += m_round.Dropped();
    m_round.Clear();

    bool anyGone = false;
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        WatchedRow& watched = m_rows[index];
        if (m_heard[index] || watched.gone) {
            continue;
        }
        if (++watched.roundsMissed >= kRoundsUntilGone) {
            watched.gone = true;
            anyGone = true;
            events.push_back({WatchEventKind::Gone, watched.row});
        }
    }
    if (anyGone && m_goneRows == GoneRows::Forget) {
        ForgetGoneRows();
    }
    return events;
}

const WatchedRow* WatchedRows::Find(const std::u16string& ipText) const {
    const auto known = m_rowOfIpText.find(ipText);
    return known == m_rowOfIpText.end() ? nullptr : &m_rows[known->second];
}

void WatchedRows::ForgetGoneRows() {
    std::erase_if(m_rows, [](const WatchedRow& watched) { return watched.gone; });
    m_rowOfIpText.clear();
    for (std::size_t index = 0; index < m_rows.size(); ++index) {
        m_rowOfIpText.emplace(m_rows[index].row.record.IP, index);
    }
}

} // namespace ferrow
