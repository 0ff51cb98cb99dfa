#pragma once

#include "discovery/DeviceRecord.h"
#include "ui/DeviceListModel.h"

#include <QTreeView>
#include <cstdint>
#include <memory>

class QMenu;

namespace ferrow {

class UrlOpener;

// The device list: one row per recorder of the last search, columns "Manufacture",
// "Model", "IP Address", "MAC Address" and "Http Port", rows in arrival order, one
// full-row selection, no sorting and no editing. No two rows share an IP Address text.
// A double-click on a row opens the recorder's web page; a right-click anywhere shows a
// popup menu whose "Refresh" issues kCommandRefresh.
class CFerrowView : public QTreeView {
    Q_OBJECT

public:
    using Column = DeviceListModel::Column;

    explicit CFerrowView(UrlOpener& opener, QWidget* parent = nullptr);

    void ClearDevices();
    // Appends a row unless one with the same IP Address text stands in the list, or the
    // list holds the most rows one search may list.
    void AddDeviceRow(DeviceRecord record);
    // Records turned away since the list was emptied because it was full.
    std::uint64_t DroppedRows() const { return m_rows.DroppedRows(); }
    // Opens the web page of the first selected row, when its texts make a safe address.
    void OpenSelectedDevice();
    // Shows the popup menu centred on the screen position.
    void ShowPopupMenu(const QPoint& globalPosition);
    // The popup menu; its "Refresh" issues the command.
    std::unique_ptr<QMenu> CreatePopupMenu();

    // The frame's message filter asks the list too; it consumes nothing.
    bool PreTranslateMessage(QObject* receiver, QEvent* event);

signals:
    void Command(int commandId, QObject* control);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    UrlOpener& m_opener;
    DeviceListModel m_rows;
};

} // namespace ferrow
