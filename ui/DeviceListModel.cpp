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
    endResetModel();
}

void DeviceListModel::Add(DeviceRecord record) {
    const int row = rowCount();
    // The row is announced only once the collection has taken it, so the view's count and
    // the collection's always agree.
    if (m_devices.Add(std::move(record)) == DeviceCollection<DeviceRecord>::AddResult::Added) {
        beginInsertRows({}, row, row);
        endInsertRows();
    }
}

const DeviceRecord& DeviceListModel::Record(int row) const {
    return m_devices.Rows()[static_cast<std::size_t>(row)];
}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_devices.Rows().size());
}

int DeviceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return QString::fromStdU16String(Field(Record(index.row()), index.column()));
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
