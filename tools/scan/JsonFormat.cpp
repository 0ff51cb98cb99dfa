#include "tools/scan/RowFormats.h"
#include "tools/scan/TerminalText.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace ferrow {

void WriteJson(std::ostream& out, const std::vector<ScanRow>& rows) {
    // ordered_json keeps the keys in the reply's order instead of sorting them.
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const ScanRow& row : rows) {
        const RowCells cells = CellsOf(row);
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < kCellCount; ++i) {
            object[std::string(kFieldNames[i])] = ToUtf8(cells[i]);
        }
        array.push_back(std::move(object));
    }
    // ToUtf8 already yields valid UTF-8; control characters are escaped by dump().
    out << array.dump(2) << '\n';
}

} // namespace ferrow
