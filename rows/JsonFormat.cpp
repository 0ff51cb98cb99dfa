#include "rows/RowFormats.h"
#include "rows/TerminalText.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace ferrow {

void WriteJson(std::ostream& out, const std::vector<DeviceRow>& rows) {
    // Written row by row, laid out as nlohmann's dump(2) lays out the whole array, so that
    // a list of any length never stands in memory twice. Each string goes through dump()
    // for its escaping; ToUtf8 already yields valid UTF-8.
    const auto quoted = [](std::string_view text) { return nlohmann::json(text).dump(); };
    out << '[';
    for (std::size_t row = 0; row < rows.size(); ++row) {
        out << (row == 0 ? "\n" : ",\n") << "  {\n";
        const RowCells cells = CellsOf(rows[row]);
        for (std::size_t i = 0; i < kCellCount; ++i) {
            out << "    " << quoted(kFieldNames[i]) << ": " << quoted(ToUtf8(cells[i])) << ",\n";
        }
        out << "    " << quoted(kSameSubnetFieldName) << ": " << SameSubnetText(rows[row]) << '\n';
        out << "  }";
    }
    out << (rows.empty() ? "]\n" : "\n]\n");
}

} // namespace ferrow
