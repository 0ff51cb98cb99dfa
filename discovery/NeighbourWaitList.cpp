#include "discovery/NeighbourWaitList.h"

#include "platform/NeighbourTable.h"
#include "platform/TextConversion.h"

#include <algorithm>

namespace ferrow {

NeighbourWaitList::NeighbourWaitList(Ipv4Address localAddress, Clock::time_point searchBound)
    : m_localAddress(localAddress), m_searchBound(searchBound) {}

std::optional<OnvifDevice> NeighbourWaitList::Add(OnvifDevice device, Ipv4Address source) {
    DeviceRecord& record = device.record;
    if (!record.MAC.empty() || record.IP != NarrowToUtf16(source.Text())) {
        return device;
    }
    if (std::optional<std::string> mac = MacTextOf(ReadNeighbourTable(), source)) {
        record.MAC = NarrowToUtf16(*mac);
        return device;
    }
    if (m_waiting.size() >= kMostWaiting || Clock::now() >= m_searchBound) {
        return device;
    }
    RequestResolve(source);
    const Clock::time_point until =
        std::min(Clock::now() + std::chrono::milliseconds(kResolveMs), m_searchBound);
    m_waiting.push_back({std::move(device), source, until});
    return std::nullopt;
}

std::vector<OnvifDevice> NeighbourWaitList::TakeSettled() {
    std::vector<OnvifDevice> settled;
    if (m_waiting.empty()) {
        return settled;
    }
    const std::vector<NeighbourEntry> table = ReadNeighbourTable();
    const Clock::time_point now = Clock::now();
    std::vector<Waiting> stillWaiting;
    for (Waiting& waiting : m_waiting) {
        std::optional<std::string> mac = MacTextOf(table, waiting.source);
        if (!mac && now < waiting.until) {
            stillWaiting.push_back(std::move(waiting));
            continue;
        }
        if (mac) {
            waiting.device.record.MAC = NarrowToUtf16(*mac);
        }
        settled.push_back(std::move(waiting.device));
    }
    m_waiting = std::move(stillWaiting);
    return settled;
}

void NeighbourWaitList::RequestResolve(Ipv4Address neighbour) {
    if (std::find(m_requested.begin(), m_requested.end(), neighbour) != m_requested.end()) {
        return;
    }
    m_requested.push_back(neighbour);
    if (!m_endpoint) {
        m_endpoint.emplace();
        m_endpoint->Open(m_localAddress);
    }
    m_endpoint->SendTo(neighbour, ""); // an empty datagram: its sending is the request
}

} // namespace ferrow
