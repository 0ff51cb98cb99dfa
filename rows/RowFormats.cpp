#include "rows/RowFormats.h"

namespace ferrow {

RowCells CellsOf(const DeviceRow& row) {
    const DeviceRecord& record = row.record;
    return {record.Manufacture, record.Model,    record.IP,
            record.MAC,         record.HttpPort, row.localAddress};
}

void WriteRows(std::ostream& out, const std::vector<DeviceRow>& rows, OutputFormat format) {
    switch (format) {
    case OutputFormat::Table:
        WriteTable(out, rows);
        return;
    case OutputFormat::Csv:
        WriteCsv(out, rows);
        return;
    case OutputFormat::Json:
        WriteJson(out, rows);
        return;
    }
}

} // namespace ferrow
