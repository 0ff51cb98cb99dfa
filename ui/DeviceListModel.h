#pragma once

#include "rows/DeviceCollection.h"
#include "rows/DeviceRow.h"
#include "rows/WatchedRows.h"

#include <QAbstractTableModel>
#include <chrono>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace ferrow {

// The device list's rows: the devices of the last search (or of a search of every
// address), kept once, in the collection that merges the rows of one IP text heard in two
// protocols, drops a second row of the same protocol and counts those past its limit. The
// list shows them through this model, a row per device and a column per reply field and
// for the protocols. A row whose device stands outside the network of the local address
// that heard it has a warning icon in its first cell and says why on every cell's tooltip.
// While the searches are repeated, a row not heard lately is greyed, with the time it was
// last heard in its tooltip.
class DeviceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Cells of a row (CellsOf), under their headers (kColumnHeaders); the local address is
    // not shown.
    enum Column : int {
        kManufacture,
        kModel,
        kIpAddress,
        kMacAddress,
        kHttpPort,
        kProtocol,
        kColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    // Appends the rows the collection takes, in one insertion, and updates in place the
    // listed rows that others merge into.
    void Add(std::vector<DeviceRow> rows);
    // Shows what a round of repeated searches changed: a found or changed row takes the
    // place of the listed row of its IP text and shows normally; a gone one is greyed, with
    // the time the rows say it was last heard.
    void FollowRound(const std::vector<WatchEvent>& events, const WatchedRows& rows);
    // Rows greyed as not heard lately.
    int GoneRows() const { return static_cast<int>(m_lastSeenOfGoneRow.size()); }
    const DeviceRow& Row(int row) const;
    const std::vector<DeviceRow>& Rows() const { return m_devices.Rows(); }
    // Records turned away because the list was full.
    std::uint64_t DroppedRows() const { return m_devices.Dropped(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void ShowRowAgain(const DeviceRow& row);
    void GreyRow(const std::u16string& ipText, std::chrono::system_clock::time_point lastSeen);
    void RepaintRow(int row);
    QVariant ToolTip(int row) const;

    DeviceCollection<DeviceRow> m_devices;
    std::unordered_map<int, std::chrono::system_clock::time_point> m_lastSeenOfGoneRow;
    int m_shownRows = 0; // rows announced to the views
};

} // namespace ferrow
