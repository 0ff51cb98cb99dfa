#pragma once

// A frame of the tests' own: takes the search's and the adapter walk's calls as the window
// would, and records what reached it and when.

#include "discovery/CNetImpl.h"
#include "discovery/CSearchXNRImpl.h"
#include "discovery/ReplyReader.h"
#include "rows/DeviceCollection.h"

#include <chrono>
#include <string>
#include <vector>

namespace ferrow::test {

class RecordingFrame : public CSearchXNRImpl<RecordingFrame>, public CNetImpl<RecordingFrame> {
public:
    using Clock = std::chrono::steady_clock;

    struct AddressNode {
        std::u16string text;
        Ipv4Address netmask;

        friend bool operator==(const AddressNode&, const AddressNode&) = default;
    };
    struct AdapterNode {
        std::u16string description;
        std::u16string macText;
        std::vector<AddressNode> addresses;

        friend bool operator==(const AdapterNode&, const AdapterNode&) = default;
    };

    // As the window does: the reply read into a record, kept unless its IP text is held.
    void OnDeviceReply(std::u16string replyText) {
        replyTimes.push_back(Clock::now());
        if (const auto record = ReadDeviceReply(replyText)) {
            devices.Add(*record);
        }
        replies.push_back(std::move(replyText));
    }

    std::size_t AddAdapterNode(std::u16string description, std::u16string macText) {
        adapters.push_back({std::move(description), std::move(macText), {}});
        return adapters.size() - 1;
    }

    void AddAddressNode(std::size_t node, std::u16string addressText, Ipv4Address netmask) {
        adapters.at(node).addresses.push_back({std::move(addressText), netmask});
    }

    // Runs a search and returns how long it took.
    std::chrono::milliseconds TimedSearch(const std::string& localAddress) {
        const Clock::time_point start = Clock::now();
        searchEnd = SearchOnAddress(localAddress, this);
        const Clock::time_point end = Clock::now();
        return std::chrono::duration_cast<std::chrono::milliseconds>(end - start);
    }

    std::vector<std::u16string> replies;
    std::vector<Clock::time_point> replyTimes;
    DeviceCollection<DeviceRecord> devices;
    std::vector<AdapterNode> adapters;
    SearchEnd searchEnd;
};

} // namespace ferrow::test
