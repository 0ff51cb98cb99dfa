#include "platform/Ipv4Address.h"
#include "rows/RowFormats.h"
#include "rows/TerminalText.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

namespace ferrow {
namespace {

// "IP:HttpPort" of a row that Prometheus can scrape, or nothing. The IP text is whatever
// the device's reply said: anything but a dotted IPv4 address (a host name, a port or path
// of its own, a short form such as "10.1") would either make Prometheus log an invalid
// target on every reload or send it to an address the reply made up, so such a row is no
// target. The same goes for a missing or malformed Http Port.
std::optional<std::string> TargetOf(const RowCells& cells) {
    const auto address = Ipv4Address::FromDottedQuad(cells[kIpCell]);
    const auto port = PortNumberFromText(cells[kHttpPortCell]);
    if (!address || !port) {
        return std::nullopt;
    }
    return address->Text() + ':' + std::to_string(*port);
}

} // namespace

void WritePrometheus(std::ostream& out, const std::vector<DeviceRow>& rows) {
    // One target group per line, written row by row as WriteJson writes; ToUtf8 yields the
    // valid UTF-8 that dump() requires and Prometheus takes as label values.
    out << '[';
    bool first = true;
    for (const DeviceRow& row : rows) {
        const RowCells cells = CellsOf(row);
        const std::optional<std::string> target = TargetOf(cells);
        if (!target) {
            continue;
        }
        nlohmann::ordered_json labels = nlohmann::ordered_json::object();
        for (const auto& [cell, name] : kPrometheusLabels) {
            labels[std::string(name)] = ToUtf8(cells[cell]);
        }
        const nlohmann::ordered_json group{{"targets", nlohmann::ordered_json::array({*target})},
                                           {"labels", std::move(labels)}};
        out << (first ? "\n" : ",\n") << group.dump();
        first = false;
    }
    out << (first ? "]\n" : "\n]\n");
}

} // namespace ferrow
