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

} // namespace

void WriteJson(std::ostream& out, const std::vector<DeviceRow>& rows) {
    // Written row by row, laid out as nlohmann's dump(2) lays out the whole array, so that
    // a list of any length never stands in memory twice.
    out << '[';
    for (std::size_t row = 0; row < rows.size(); ++row) {
        out << (row == 0 ? "\n" : ",\n") << "  {\n";
        const RowCells cells = CellsOf(rows[row]);
        for (std::size_t i = 0; i < kCellCount; ++i) {
            out << "    ";
            WriteMember(out, kFieldNames[i], ToUtf8(cells[i]));
            out << (i + 1 < kCellCount ? ",\n" : "\n");
        }
        out << "  }";
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
}

void WriteJsonEventLine(std::ostream& out, std::string_view event, const DeviceRow& row,
                        std::span<const RowCell> cells) {
    const RowCells texts = CellsOf(row);
    out << '{';
    WriteMember(out, "event", event);
    for (const RowCell cell : cells) {
        out << ", ";
        WriteMember(out, kFieldNames[cell], ToUtf8(texts[cell]));
    }
    out << "}\n";
}

} // namespace ferrow
