#include "ui/DeviceListModel.h"

#include "rows/RowFormats.h"
#include "ui/NetworkWarning.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>
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
    m_lastSeenOfGoneRow.clear();
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
            RepaintRow(changedRow);
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

void DeviceListModel::FollowRound(const std::vector<WatchEvent>& events, const WatchedRows& rows) {
    for (const WatchEvent& event : events) {
        if (event.kind != WatchEventKind::Gone) {
            ShowRowAgain(event.row);
        } else if (const WatchedRow* gone = rows.Find(event.row.record.IP)) {
            GreyRow(event.row.record.IP, gone->lastSeen);
        }
    }
}

void DeviceListModel::ShowRowAgain(const DeviceRow& row) {
    const std::optional<std::size_t> listed = m_devices.Find(row.record.IP);
    if (!listed) {
        return;
    }
    const int shown = static_cast<int>(*listed);
    const bool ungreyed = m_lastSeenOfGoneRow.erase(shown) > 0;
    if (ungreyed || Row(shown) != row) {
        m_devices.Replace(row);
        RepaintRow(shown);
    }
}

void DeviceListModel::GreyRow(const std::u16string& ipText,
                              std::chrono::system_clock::time_point lastSeen) {
    if (const std::optional<std::size_t> listed = m_devices.Find(ipText)) {
        m_lastSeenOfGoneRow[static_cast<int>(*listed)] = lastSeen;
        RepaintRow(static_cast<int>(*listed));
    }
}

void DeviceListModel::RepaintRow(int row) {
    if (row < m_shownRows) {
        emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
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
    switch (role) {
    case Qt::DisplayRole: {
        const std::u16string_view cell = CellsOf(Row(index.row()))[CellOfColumn(index.column())];
        return QString::fromUtf16(cell.data(), static_cast<qsizetype>(cell.size()));
    }
    case Qt::DecorationRole:
        if (index.column() == 0 && CheckLocalSubnet(Row(index.row())).Outside()) {
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return {};
    case Qt::ForegroundRole:
        return m_lastSeenOfGoneRow.contains(index.row())
                   ? QVariant(QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text))
                   : QVariant();
    case Qt::ToolTipRole:
        return ToolTip(index.row());
    default:
        return {};
    }
}

QVariant DeviceListModel::ToolTip(int row) const {
    // One line per thing to say of the row.
    QStringList lines;
    if (const QString warning = OtherNetworkWarning(Row(row)); !warning.isEmpty()) {
        lines << warning;
    }
    if (const auto gone = m_lastSeenOfGoneRow.find(row); gone != m_lastSeenOfGoneRow.end()) {
        const auto sinceEpoch =
            std::chrono::duration_cast<std::chrono::milliseconds>(gone->second.time_since_epoch());
        lines << QStringLiteral("Not heard in the last %1 rounds, last seen %2")
                     .arg(kRoundsUntilGone)
                     .arg(QDateTime::fromMSecsSinceEpoch(sinceEpoch.count())
                              .toString(QStringLiteral("HH:mm:ss")));
    }
    if (lines.isEmpty()) {
        return {};
    }
    // Rich text, which Qt wraps to a readable width on every platform: plain text is wrapped
    // only where it would not fit on the screen, so on Windows it makes one long line.
    for (QString& line : lines) {
        line = line.toHtmlEscaped();
    }
    return QStringLiteral("<p>%1</p>").arg(lines.join(QStringLiteral("<br>")));
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
