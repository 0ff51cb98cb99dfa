#pragma once

#include "rows/DeviceRow.h"

#include <array>
#include <iosfwd>
#include <string_view>
#include <utility>
#include <vector>

namespace ferrow {

enum class OutputFormat { Table, Csv, Json, Prometheus };

// Every row has these seven cells, in this order.
enum RowCell : std::size_t {
    kManufactureCell,
    kModelCell,
    kIpCell,
    kMacCell,
    kHttpPortCell,
    kLocalAddressCell,
    kProtocolCell,
    kCellCount
};
using RowCells = std::array<std::u16string_view, kCellCount>;
// Names of the cells for machines (CSV header, JSON keys): the reply's element names,
// the local address and the protocols that answered.
inline constexpr std::array<std::string_view, kCellCount> kFieldNames{
    "Manufacture", "Model", "IP", "MAC", "HttpPort", "LocalAddress", "Protocol"};

// Prometheus label names of the cells that label a target: lower case with '_'. IP and
// HttpPort make the target itself.
inline constexpr std::array<std::pair<RowCell, std::string_view>, 5> kPrometheusLabels{{
    {kManufactureCell, "manufacture"},
    {kModelCell, "model"},
    {kMacCell, "mac"},
    {kLocalAddressCell, "local_address"},
    {kProtocolCell, "protocol"},
}};

// The field after the cells for machines: whether the device's IP lies in the network of
// the local address that heard it (CheckLocalSubnet), true or false.
inline constexpr std::string_view kSameSubnetFieldName = "SameSubnet";
// Its value as CSV and JSON both write it: "true" or "false".
std::string_view SameSubnetText(const DeviceRow& row);

// Headers of the cells for people, as the window names its columns.
inline constexpr std::array<std::u16string_view, kCellCount> kColumnHeaders{
    u"Manufacture", u"Model",         u"IP Address", u"MAC Address",
    u"Http Port",   u"Local Address", u"Protocol"};

// The protocols of a row as its Protocol cell says them: "UDP 2900", "ONVIF" or both,
// always in that order.
std::u16string_view ProtocolText(ProtocolSet protocols);

RowCells CellsOf(const DeviceRow& row);

// Aligned columns (display columns, not bytes), control characters shown as U+FFFD. The IP
// of a device outside the local address's network is marked " *", and a footnote under
// the table says what the mark means.
void WriteTable(std::ostream& out, const std::vector<DeviceRow>& rows);
// RFC 4180: header row, CRLF line ends, fields quoted where needed; the cells, then
// SameSubnet.
void WriteCsv(std::ostream& out, const std::vector<DeviceRow>& rows);
// An array of objects keyed by kFieldNames (strings), then SameSubnet (a boolean); always
// valid UTF-8 JSON.
void WriteJson(std::ostream& out, const std::vector<DeviceRow>& rows);
// Prometheus's file-based service discovery (file_sd_configs): an array of target groups,
// one per row, each on a line of its own. The target is "IP:HttpPort"; the labels are
// kPrometheusLabels, with valid UTF-8 values. Rows whose IP is not a dotted IPv4 address or
// whose HttpPort is not a port number 1..65535 are left out.
void WritePrometheus(std::ostream& out, const std::vector<DeviceRow>& rows);
// What an event line says of its row: all of it, or only its IP.
enum class EventRowFields { Whole, IpOnly };
// One JSON object on a line of its own: "event" first, then the row's members as WriteJson
// writes them, as in {"event": "found", "Manufacture": "...", ..., "SameSubnet": true}, or
// its IP alone; always valid UTF-8 JSON.
void WriteJsonEventLine(std::ostream& out, std::string_view event, const DeviceRow& row,
                        EventRowFields fields);

void WriteRows(std::ostream& out, const std::vector<DeviceRow>& rows, OutputFormat format);

} // namespace ferrow
