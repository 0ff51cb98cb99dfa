#include "ui/DeviceListModel.h"

namespace ferrow {

namespace {

constexpr const char* kHeaders[DeviceListModel::kColumnCount] = {
    "Manufacture", "Model", "IP Address", "MAC Address", "Http Port"};

const std::u16string& Field(const DeviceRecord& record, int column) {
    switch (column) {
    case DeviceListModel::kManufacture:
        return record.Manufacture;
    case DeviceListModel::kModel:
        return record.Model;
    case DeviceListModel::kIpAddress:
        return record.IP;
    case DeviceListModel::kMacAddress:
        return record.MAC;
    default:
        return record.HttpPort;
    }
}

} // namespace

void DeviceListModel::Clear() {
    beginResetModel();
    m_devices.Clear();
    m_shownRows = 0;
    endResetModel();
}

void DeviceListModel::Add(std::vector<DeviceRow> rows) {
    for (DeviceRow& row : rows) {
        m_devices.Add(std::move(row));
    }
    // The rows the collection took are shown in one insertion; rowCount follows only
    // between its begin and end, as views expect.
    const int taken = static_cast<int>(m_devices.Rows().size());
    if (taken > m_shownRows) {
        beginInsertRows({}, m_shownRows, taken - 1);
        m_shownRows = taken;
        endInsertRows();
    }
}

const DeviceRow& DeviceListModel::Row(int row) const {
    return m_devices.Rows()[static_cast<std::size_t>(row)];
}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownRows;
}

int DeviceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdU16String(Field(Row(index.row()).record, index.column()));
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return QString::fromLatin1(kHeaders[section]);
}

Qt::ItemFlags DeviceListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

} // namespace ferrow
