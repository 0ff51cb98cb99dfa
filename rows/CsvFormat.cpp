#include "rows/RowFormats.h"
#include "rows/TerminalText.h"

#include <ostream>

namespace ferrow {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

void WriteField(std::ostream& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out << field;
        return;
    }
    out << '"';
    for (char c : field) {
        if (c == '"') {
            out << '"';
        }
        out << c;
    }
    out << '"';
}

} // namespace

void WriteCsv(std::ostream& out, const std::vector<DeviceRow>& rows) {
    for (std::size_t i = 0; i < kCellCount; ++i) {
        out << kFieldNames[i] << ',';
    }
    out << kSameSubnetFieldName << kLineEnd;
    for (const DeviceRow& row : rows) {
        const RowCells cells = CellsOf(row);
        for (std::size_t i = 0; i < kCellCount; ++i) {
            WriteField(out, ToUtf8(cells[i]));
            out << ',';
        }
        out << SameSubnetText(row) << kLineEnd;
    }
}

} // namespace ferrow
