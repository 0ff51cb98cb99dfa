#pragma once

#include "rows/DeviceCollection.h"
#include "rows/DeviceRow.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

namespace ferrow {

// The device list's rows: the devices of the last search (or of a search of every
// address), kept once, in the collection that merges the rows of one IP text heard in two
// protocols, drops a second row of the same protocol and counts those past its limit. The
// list shows them through this model, a row per device and a column per reply field and
// for the protocols. A row whose device stands outside the network of the local address
// that heard it has a warning icon in its first cell and says why on every cell's tooltip.
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
    DeviceCollection<DeviceRow> m_devices;
    int m_shownRows = 0; // rows announced to the views
};

} // namespace ferrow
