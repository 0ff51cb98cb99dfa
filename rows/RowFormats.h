#pragma once

#include "rows/DeviceRow.h"

#include <array>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace ferrow {

enum class OutputFormat { Table, Csv, Json };

// Every row has these six cells, in this order.
inline constexpr std::size_t kCellCount = 6;
using RowCells = std::array<std::u16string_view, kCellCount>;

// Names of the cells for machines (CSV header, JSON keys): the reply's element names
// and the local address.
inline constexpr std::array<std::string_view, kCellCount> kFieldNames{
    "Manufacture", "Model", "IP", "MAC", "HttpPort", "LocalAddress"};

// Headers of the cells for people, as the window names its columns.
inline constexpr std::array<std::u16string_view, kCellCount> kColumnHeaders{
    u"Manufacture", u"Model", u"IP Address", u"MAC Address", u"Http Port", u"Local Address"};

RowCells CellsOf(const DeviceRow& row);

// Aligned columns (display columns, not bytes), control characters shown as U+FFFD.
void WriteTable(std::ostream& out, const std::vector<DeviceRow>& rows);
// RFC 4180: header row, CRLF line ends, fields quoted where needed.
void WriteCsv(std::ostream& out, const std::vector<DeviceRow>& rows);
// An array of objects keyed by kFieldNames; always valid UTF-8 JSON.
void WriteJson(std::ostream& out, const std::vector<DeviceRow>& rows);

void WriteRows(std::ostream& out, const std::vector<DeviceRow>& rows, OutputFormat format);

} // namespace ferrow
