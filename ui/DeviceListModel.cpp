#include "ui/DeviceListModel.h"

#include "rows/RowFormats.h"
#include "ui/NetworkWarning.h"

#include <QApplication>
#include <QStyle>

namespace ferrow {

namespace {

// The cell each column shows: the reply's five fields, then the protocols.
constexpr std::array<RowCell, DeviceListModel::kColumnCount> kCellOfColumn{
    kManufactureCell, kModelCell, kIpCell, kMacCell, kHttpPortCell, kProtocolCell};

std::size_t CellOfColumn(int column) {
    return kCellOfColumn[static_cast<std::size_t>(column)];
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
        const AddResult added = m_devices.Add(std::move(row));
        // A row merged into one the views know is repainted; one merged into a row of this
        // delivery is shown with the insertion below.
        const int changedRow = static_cast<int>(added.row);
        if (added.outcome == AddOutcome::Merged && changedRow < m_shownRows) {
            emit dataChanged(index(changedRow, 0), index(changedRow, kColumnCount - 1));
        }
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
    if (!index.isValid()) {
        return {};
    }
    const DeviceRow& row = Row(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        const std::u16string_view cell = CellsOf(row)[CellOfColumn(index.column())];
        return QString::fromUtf16(cell.data(), static_cast<qsizetype>(cell.size()));
    }
    case Qt::DecorationRole:
        if (index.column() == 0 && CheckLocalSubnet(row).Outside()) {
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return {};
    case Qt::ToolTipRole: {
        const QString warning = OtherNetworkWarning(row);
        return warning.isEmpty() ? QVariant() : QVariant(warning);
    }
    default:
        return {};
    }
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    const std::u16string_view header = kColumnHeaders[CellOfColumn(section)];
    return QString::fromUtf16(header.data(), static_cast<qsizetype>(header.size()));
}

Qt::ItemFlags DeviceListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

} // namespace ferrow
