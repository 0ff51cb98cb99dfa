#include "rows/RowFormats.h"

namespace ferrow {

std::u16string_view ProtocolText(ProtocolSet protocols) {
    const bool udp2900 = protocols.Has(DeviceProtocol::Udp2900);
    const bool onvif = protocols.Has(DeviceProtocol::Onvif);
    if (udp2900 && onvif) {
        return u"UDP 2900, ONVIF";
    }
    if (udp2900) {
        return u"UDP 2900";
    }
    return onvif ? u"ONVIF" : u"";
}

std::string_view SameSubnetText(const DeviceRow& row) {
    return CheckLocalSubnet(row).same ? "true" : "false";
}

RowCells CellsOf(const DeviceRow& row) {
    const DeviceRecord& record = row.record;
    return {record.Manufacture,
            record.Model,
            record.IP,
            record.MAC,
            record.HttpPort,
            row.localAddress,
            ProtocolText(row.protocols)};
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
    case OutputFormat::Prometheus:
        WritePrometheus(out, rows);
        return;
    }
}

} // namespace ferrow
