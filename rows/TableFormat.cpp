#include "rows/RowFormats.h"
#include "rows/TerminalText.h"

#include <algorithm>
#include <ostream>

namespace ferrow {
namespace {

constexpr std::string_view kColumnGap = "  ";
constexpr std::u16string_view kOutsideMark = u" *";
constexpr std::string_view kOutsideFootnote =
    "* In another network than the local address that heard it: its web page cannot open "
    "until this computer has an address in the device's network or the device gets one in "
    "this computer's.";

using Line = std::array<std::u16string, kCellCount>;

// Writes one line; every cell but the last is padded to its column's width.
void WriteLine(std::ostream& out, const Line& cells,
               const std::array<std::size_t, kCellCount>& widths) {
    std::string line;
    for (std::size_t i = 0; i < kCellCount; ++i) {
        line += ToUtf8(cells[i]);
        if (i + 1 < kCellCount) {
            line.append(widths[i] - DisplayWidth(cells[i]), ' ');
            line += kColumnGap;
        }
    }
    out << line << '\n';
}

} // namespace

void WriteTable(std::ostream& out, const std::vector<DeviceRow>& rows) {
    if (rows.empty()) {
        out << "No devices found.\n";
        return;
    }
    std::vector<Line> lines;
    lines.reserve(rows.size() + 1);
    Line header;
    std::copy(kColumnHeaders.begin(), kColumnHeaders.end(), header.begin());
    lines.push_back(header);
    bool anyOutside = false;
    for (const DeviceRow& row : rows) {
        const RowCells cells = CellsOf(row);
        Line line;
        std::transform(cells.begin(), cells.end(), line.begin(), ForTerminal);
        if (CheckLocalSubnet(row).Outside()) {
            line[kIpCell] += kOutsideMark;
            anyOutside = true;
        }
        lines.push_back(std::move(line));
    }

    std::array<std::size_t, kCellCount> widths{};
    for (const Line& line : lines) {
        for (std::size_t i = 0; i < kCellCount; ++i) {
            widths[i] = std::max(widths[i], DisplayWidth(line[i]));
        }
    }

    Line rule;
    for (std::size_t i = 0; i < kCellCount; ++i) {
        rule[i].assign(widths[i], u'-');
    }
    WriteLine(out, lines.front(), widths);
    WriteLine(out, rule, widths);
    for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
        WriteLine(out, *line, widths);
    }
    if (anyOutside) {
        out << '\n' << kOutsideFootnote << '\n';
    }
}

} // namespace ferrow
