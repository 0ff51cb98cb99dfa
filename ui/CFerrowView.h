#pragma once

#include "rows/DeviceRow.h"
#include "ui/DeviceListModel.h"

#include <QTreeView>
#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace ferrow {

class UrlOpener;

// The device list: one row per device of the last search, columns "Manufacture",
// "Model", "IP Address", "MAC Address", "Http Port" and "Protocol", rows in arrival order,
// one full-row selection, no sorting and no editing. No two rows share an IP Address text:
// a device heard in both protocols is one row.
//
// A double-click on a row, or Enter, opens the device's web page; when that cannot be
// done a message box says so and shows the address. A row outside the network of the
// local address that heard it is marked, and opening its page first says why it will
// likely not open and asks whether to try anyway. A right-click shows the popup menu:
// on a row "Open Web Page" (the default item), "Copy IP Address" and "Copy Row"; anywhere
// "Refresh", "Search All Addresses" and the check "Keep Searching" (issued to the frame as
// commands; the frame shows the check in its View menu too and sets it) and "Export
// List…" (CSV or JSON, as ferrow-scan writes them). F5 refreshes, Ctrl+C copies the row.
// While the searches are repeated, rows not heard lately are greyed.
class CFerrowView : public QTreeView {
    Q_OBJECT

public:
    using Column = DeviceListModel::Column;

    explicit CFerrowView(UrlOpener& opener, QWidget* parent = nullptr);

    void ClearDevices();
    // Appends a port-2900 row unless one with the same IP Address text stands in the list,
    // or the list holds the most rows one list may hold.
    void AddDeviceRow(DeviceRecord record);
    // The rows of a running search, with the local address that heard them; a row of a
    // listed IP Address text from another protocol is merged into the listed row.
    void AddDeviceRows(std::vector<DeviceRow> rows);
    // What a round of repeated searches changed, shown in place.
    void FollowRound(const std::vector<WatchEvent>& events, const WatchedRows& rows) {
        m_rows.FollowRound(events, rows);
    }
    int DeviceCount() const { return m_rows.rowCount(); }
    int GoneDeviceCount() const { return m_rows.GoneRows(); }
    // Rows turned away since the list was emptied because it was full.
    std::uint64_t DroppedRows() const { return m_rows.DroppedRows(); }

    // Opens the web page of the selected row, or says why it cannot.
    void OpenSelectedDevice();
    // The selected row's IP Address text, or the row's cells joined by tabs.
    void CopySelectedIpAddress();
    void CopySelectedRow();
    // Writes the rows to the file: JSON for a name ending in ".json", CSV otherwise.
    // False, with a message box, when the file cannot be written.
    bool ExportList(const QString& path);

    // Shows the popup menu centred on the screen position.
    void ShowPopupMenu(const QPoint& globalPosition);
    // The popup menu; the row items only when a row is selected.
    std::unique_ptr<QMenu> CreatePopupMenu();

    // The check "Keep Searching", for the frame's menu.
    QAction* KeepSearchingAction() const { return m_keepSearchingAction; }

    // The frame's message filter asks the list too; it consumes nothing.
    bool PreTranslateMessage(QObject* receiver, QEvent* event);

signals:
    void Command(int commandId, QObject* control);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QAction* AddListAction(const QString& text, const char* name, void (CFerrowView::*run)());
    const DeviceRow* SelectedRow() const;
    void ChooseExportFile();
    void ShowProblem(const QString& text);
    // Shows the warning with a choice to open the page anyway or not; true to open it.
    bool ConfirmOpening(const QString& warning);

    UrlOpener& m_opener;
    DeviceListModel m_rows;
    QAction* m_openAction;
    QAction* m_copyIpAction;
    QAction* m_copyRowAction;
    QAction* m_refreshAction;
    QAction* m_searchAllAction;
    QAction* m_keepSearchingAction;
    QAction* m_exportAction;
};

} // namespace ferrow
