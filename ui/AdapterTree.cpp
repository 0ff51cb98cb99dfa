#include "ui/AdapterTree.h"

#include "platform/Ipv4Address.h"
#include "ui/ViewStyle.h"

#include <QTreeWidgetItemIterator>
#include <algorithm>

namespace ferrow {

AdapterTree::AdapterTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("adapterTree"));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setFrameShape(QFrame::StyledPanel);

    KeepSelectionVisibleWithoutFocus(this);
}

QTreeWidgetItem* AdapterTree::AppendNode(QTreeWidgetItem* parent, const QString& text,
                                         std::uint32_t address) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kAddressRole, QVariant::fromValue<quint32>(address));
    if (parent == nullptr) {
        addTopLevelItem(item);
    } else {
        parent->addChild(item);
        parent->setExpanded(true);
    }
    return item;
}

std::uint32_t AdapterTree::GetSelectedAddress() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        return 0;
    }
    return selected.first()->data(0, kAddressRole).value<quint32>();
}

std::vector<std::string> AdapterTree::SearchableAddresses() const {
    std::vector<std::string> addresses;
    for (QTreeWidgetItemIterator node(const_cast<AdapterTree*>(this)); *node != nullptr; ++node) {
        const auto address = (*node)->data(0, kAddressRole).value<quint32>();
        std::string text = Ipv4ToText(address);
        if (address != 0 &&
            std::find(addresses.begin(), addresses.end(), text) == addresses.end()) {
            addresses.push_back(std::move(text));
        }
    }
    return addresses;
}

} // namespace ferrow
