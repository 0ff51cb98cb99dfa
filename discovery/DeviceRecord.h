#pragma once

#include <string>

namespace ferrow {

// The five texts of one accepted reply; a field stays empty when the reply lacks it.
// IP is the key by which a second reply from the same recorder is dropped.
struct DeviceRecord {
    std::u16string Manufacture;
    std::u16string Model;
    std::u16string IP;
    std::u16string MAC;
    std::u16string HttpPort;

    friend bool operator==(const DeviceRecord&, const DeviceRecord&) = default;
};

inline const std::u16string& DeviceIpText(const DeviceRecord& record) {
    return record.IP;
}

} // namespace ferrow
