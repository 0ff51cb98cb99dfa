#include "ui/CFerrowView.h"

#include "ui/CommandIds.h"
#include "ui/DeviceWebAddress.h"
#include "ui/UrlOpener.h"
#include "ui/ViewStyle.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

namespace ferrow {

namespace {

constexpr int kColumnWidths[DeviceListModel::kColumnCount] = {120, 80, 130, 130, 80};

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
}

void CFerrowView::ClearDevices() {
    m_rows.Clear();
}

void CFerrowView::AddDeviceRow(DeviceRecord record) {
    m_rows.Add(std::move(record));
}

void CFerrowView::OpenSelectedDevice() {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    const DeviceRecord& record = m_rows.Record(selected.front().row());
    if (const auto url = DeviceWebAddress(QString::fromStdU16String(record.IP),
                                          QString::fromStdU16String(record.HttpPort))) {
        m_opener.Open(*url);
    }
}

std::unique_ptr<QMenu> CFerrowView::CreatePopupMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("deviceListMenu"));
    QAction* refresh = menu->addAction(QStringLiteral("Refresh"));
    refresh->setObjectName(QStringLiteral("actionRefresh"));
    connect(refresh, &QAction::triggered, this, [this] { emit Command(kCommandRefresh, this); });
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
    ShowPopupMenu(event->globalPos());
    event->accept();
}

} // namespace ferrow
