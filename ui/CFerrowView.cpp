#include "ui/CFerrowView.h"

#include "rows/RowFormats.h"
#include "ui/CommandIds.h"
#include "ui/DeviceWebAddress.h"
#include "ui/NetworkWarning.h"
#include "ui/UrlOpener.h"
#include "ui/ViewStyle.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <sstream>

namespace ferrow {

namespace {

constexpr int kColumnWidths[DeviceListModel::kColumnCount] = {120, 80, 130, 130, 80, 120};

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

// Plain and selectable: the texts come from the network, and an address is for copying.
void ShowPlainText(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

} // namespace

CFerrowView::CFerrowView(UrlOpener& opener, QWidget* parent) : QTreeView(parent), m_opener(opener) {
    setObjectName(QStringLiteral("deviceList"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    KeepSelectionVisibleWithoutFocus(this);

    setModel(&m_rows);
    for (int column = 0; column < DeviceListModel::kColumnCount; ++column) {
        setColumnWidth(column, kColumnWidths[column]);
    }

    connect(this, &QAbstractItemView::doubleClicked, this, [this] { OpenSelectedDevice(); });

    m_openAction = AddListAction(QStringLiteral("Open Web Page"), "actionOpenWebPage",
                                 &CFerrowView::OpenSelectedDevice);
    m_openAction->setShortcuts({Qt::Key_Return, Qt::Key_Enter});
    m_copyIpAction = AddListAction(QStringLiteral("Copy IP Address"), "actionCopyIpAddress",
                                   &CFerrowView::CopySelectedIpAddress);
    m_copyRowAction =
        AddListAction(QStringLiteral("Copy Row"), "actionCopyRow", &CFerrowView::CopySelectedRow);
    m_copyRowAction->setShortcut(QKeySequence::Copy);
    m_exportAction = AddListAction(QStringLiteral("Export List\u2026"), "actionExportList",
                                   &CFerrowView::ChooseExportFile);

    const auto addCommand = [this](const QString& text, const char* name, int commandId) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this,
                [this, commandId] { emit Command(commandId, this); });
        addAction(action);
        return action;
    };
    m_refreshAction = addCommand(QStringLiteral("Refresh"), "actionRefresh", kCommandRefresh);
    // F5 refreshes wherever the focus is in the window.
    m_refreshAction->setShortcut(QKeySequence::Refresh);
    m_refreshAction->setShortcutContext(Qt::WindowShortcut);
    m_searchAllAction = addCommand(QStringLiteral("Search All Addresses"),
                                   "actionSearchAllAddresses", kCommandSearchAll);
    m_keepSearchingAction =
        addCommand(QStringLiteral("&Keep Searching"), "actionKeepSearching", kCommandKeepSearching);
    m_keepSearchingAction->setCheckable(true);
}

QAction* CFerrowView::AddListAction(const QString& text, const char* name,
                                    void (CFerrowView::*run)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
    return action;
}

void CFerrowView::ClearDevices() {
    m_rows.Clear();
}

void CFerrowView::AddDeviceRow(DeviceRecord record) {
    AddDeviceRows({{std::move(record), {}}});
}

void CFerrowView::AddDeviceRows(std::vector<DeviceRow> rows) {
    m_rows.Add(std::move(rows));
}

const DeviceRow* CFerrowView::SelectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? nullptr : &m_rows.Row(selected.front().row());
}

void CFerrowView::OpenSelectedDevice() {
    const DeviceRow* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    const QString scheme = Text(row->webScheme);
    const QString ip = Text(row->record.IP);
    const QString port = Text(row->record.HttpPort);
    const auto url = DeviceWebAddress(scheme, ip, port);
    if (!url) {
        // A port-2900 row's scheme is always http: it is named only when it is another.
        const QString schemeLine = scheme == QLatin1String("http")
                                       ? QString()
                                       : QStringLiteral("\nScheme: %1").arg(scheme);
        ShowProblem(QStringLiteral("The web page of this device is not opened: its address "
                                   "texts would make another address than its own.\n\n"
                                   "IP Address: %1\nHttp Port: %2%3")
                        .arg(ip, port, schemeLine));
        return;
    }
    if (const QString warning = OtherNetworkWarning(*row);
        !warning.isEmpty() && !ConfirmOpening(warning)) {
        return;
    }
    if (!m_opener.Open(*url)) {
        ShowProblem(QStringLiteral("No web browser could be started for the device's web "
                                   "page. Copy the address into a browser:\n\n%1")
                        .arg(url->toString()));
    }
}

void CFerrowView::CopySelectedIpAddress() {
    if (const DeviceRow* row = SelectedRow()) {
        QGuiApplication::clipboard()->setText(Text(row->record.IP));
    }
}

void CFerrowView::CopySelectedRow() {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    // The cells as the list shows them, in its column order.
    QStringList cells;
    for (int column = 0; column < DeviceListModel::kColumnCount; ++column) {
        cells << m_rows.index(selected.front().row(), column).data().toString();
    }
    QGuiApplication::clipboard()->setText(cells.join(u'\t'));
}

bool CFerrowView::ExportList(const QString& path) {
    std::ostringstream text;
    if (path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) {
        WriteJson(text, m_rows.Rows());
    } else {
        WriteCsv(text, m_rows.Rows());
    }
    // QSaveFile takes any path the user can name (a narrow std::ofstream reads it in the
    // ANSI code page on Windows) and replaces the file only once all of it is written.
    const std::string bytes = std::move(text).str();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        ShowProblem(QStringLiteral("The list could not be written to %1.").arg(path));
        return false;
    }
    return true;
}

void CFerrowView::ChooseExportFile() {
    const QString csv = QStringLiteral("CSV (*.csv)");
    const QString json = QStringLiteral("JSON (*.json)");
    QString filter = csv;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export List"),
                                                QStringLiteral("devices.csv"),
                                                csv + QStringLiteral(";;") + json, &filter);
    if (path.isEmpty()) {
        return;
    }
    const QString suffix = filter == json ? QStringLiteral(".json") : QStringLiteral(".csv");
    if (!path.endsWith(suffix, Qt::CaseInsensitive)) {
        path += suffix;
    }
    ExportList(path);
}

void CFerrowView::ShowProblem(const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ferrow"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("problemBox"));
    ShowPlainText(box);
    box.exec();
}

bool CFerrowView::ConfirmOpening(const QString& warning) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ferrow"),
                    warning + QStringLiteral("\n\nOpen the web page anyway?"),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("otherNetworkBox"));
    ShowPlainText(box);
    const QPushButton* open = box.addButton(QStringLiteral("Open Anyway"), QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel));
    box.exec();
    return box.clickedButton() == open;
}

std::unique_ptr<QMenu> CFerrowView::CreatePopupMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("deviceListMenu"));
    if (SelectedRow() != nullptr) {
        menu->addActions({m_openAction, m_copyIpAction, m_copyRowAction});
        menu->setDefaultAction(m_openAction);
        menu->addSeparator();
    }
    menu->addActions({m_refreshAction, m_searchAllAction, m_keepSearchingAction, m_exportAction});
    return menu;
}

void CFerrowView::ShowPopupMenu(const QPoint& globalPosition) {
    const std::unique_ptr<QMenu> menu = CreatePopupMenu();
    const QSize size = menu->sizeHint();
    // Centred on the point; the menu itself keeps on the screen.
    menu->exec(globalPosition - QPoint(size.width() / 2, size.height() / 2));
}

bool CFerrowView::PreTranslateMessage(QObject* /*receiver*/, QEvent* /*event*/) {
    return false;
}

void CFerrowView::contextMenuEvent(QContextMenuEvent* event) {
    // A right-click beside the rows leaves no row to act on.
    if (!indexAt(viewport()->mapFromGlobal(event->globalPos())).isValid()) {
        clearSelection();
    }
    ShowPopupMenu(event->globalPos());
    event->accept();
}

} // namespace ferrow
