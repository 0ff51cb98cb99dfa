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

struct ColumnSpec {
    const char* header;
    int width;
};

constexpr ColumnSpec kColumns[CFerrowView::kColumnCount] = {{"Manufacture", 120},
                                                            {"Model", 80},
                                                            {"IP Address", 130},
                                                            {"MAC Address", 130},
                                                            {"Http Port", 80}};

} // namespace

CFerrowView::CFerrowView(UrlOpener& opener, QWidget* parent)
    : QTreeWidget(parent), m_opener(opener) {
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

    setColumnCount(kColumnCount);
    QStringList headers;
    for (int column = 0; column < kColumnCount; ++column) {
        headers << QString::fromLatin1(kColumns[column].header);
    }
    setHeaderLabels(headers);
    for (int column = 0; column < kColumnCount; ++column) {
        setColumnWidth(column, kColumns[column].width);
    }

    connect(this, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelectedDevice(); });
}

void CFerrowView::ClearDevices() {
    clear();
    m_devices.Clear();
}

void CFerrowView::AddDeviceRow(const DeviceRecord& record) {
    if (!m_devices.Add(record)) {
        return;
    }
    auto* row = new QTreeWidgetItem;
    row->setText(kManufacture, QString::fromStdU16String(record.Manufacture));
    row->setText(kModel, QString::fromStdU16String(record.Model));
    row->setText(kIpAddress, QString::fromStdU16String(record.IP));
    row->setText(kMacAddress, QString::fromStdU16String(record.MAC));
    row->setText(kHttpPort, QString::fromStdU16String(record.HttpPort));
    row->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
    addTopLevelItem(row);
}

void CFerrowView::OpenSelectedDevice() {
    for (int index = 0; index < topLevelItemCount(); ++index) {
        const QTreeWidgetItem* row = topLevelItem(index);
        if (row->isSelected()) {
            if (const auto url = DeviceWebAddress(row->text(kIpAddress), row->text(kHttpPort))) {
                m_opener.Open(*url);
            }
            return;
        }
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
