#pragma once

#include "discovery/DeviceCollection.h"
#include "discovery/DeviceRecord.h"

#include <QAbstractTableModel>
#include <cstdint>

namespace ferrow {

// The device list's rows: the records of the last search, kept once, in the collection
// that drops a second record of the same IP text and counts those past its limit. The
// list shows them through this model, a row per record and a column per field.
class DeviceListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column : int { kManufacture, kModel, kIpAddress, kMacAddress, kHttpPort, kColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void Clear();
    // Appends a row unless the collection turns the record away.
    void Add(DeviceRecord record);
    const DeviceRecord& Record(int row) const;
    // Records turned away because the list was full.
    std::uint64_t DroppedRows() const { return m_devices.Dropped(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    DeviceCollection<DeviceRecord> m_devices;
};

} // namespace ferrow
