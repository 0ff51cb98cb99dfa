#include "rows/RowFormats.h"
#include "rows/TerminalText.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace ferrow {

namespace {

// Each string goes through nlohmann's dump() for its escaping; ToUtf8 already yields valid
// UTF-8.
std::string Quoted(std::string_view text) {
    return nlohmann::json(text).dump();
}

void WriteMember(std::ostream& out, std::string_view key, std::string_view value) {
    out << Quoted(key) << ": " << Quoted(value);
}

// The members of a row's object, `separator` between two: the cells keyed by kFieldNames,
// then SameSubnet as a boolean.
void WriteRowMembers(std::ostream& out, const DeviceRow& row, std::string_view separator) {
    const RowCells cells = CellsOf(row);
    for (std::size_t i = 0; i < kCellCount; ++i) {
        WriteMember(out, kFieldNames[i], ToUtf8(cells[i]));
        out << separator;
    }
    out << Quoted(kSameSubnetFieldName) << ": " << SameSubnetText(row);
}

} // namespace

void WriteJson(std::ostream& out, const std::vector<DeviceRow>& rows) {
    // Written row by row, laid out as nlohmann's dump(2) lays out the whole array, so that
    // a list of any length never stands in memory twice.
    out << '[';
    for (std::size_t row = 0; row < rows.size(); ++row) {
        out << (row == 0 ? "\n" : ",\n") << "  {\n    ";
        WriteRowMembers(out, rows[row], ",\n    ");
        out << "\n  }";
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
}

void WriteJsonEventLine(std::ostream& out, std::string_view event, const DeviceRow& row,
                        EventRowFields fields) {
    out << '{';
    WriteMember(out, "event", event);
    out << ", ";
    if (fields == EventRowFields::Whole) {
        WriteRowMembers(out, row, ", ");
    } else {
        WriteMember(out, kFieldNames[kIpCell], ToUtf8(row.record.IP));
    }
    out << "}\n";
}

} // namespace ferrow
