#include "ui/AdapterTree.h"

#include "ui/ViewStyle.h"

#include <QTreeWidgetItemIterator>

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
                                         Ipv4Address address, Ipv4Address netmask) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kAddressRole, QVariant::fromValue<quint32>(address.NetworkOrder()));
    item->setData(0, kNetmaskRole, QVariant::fromValue<quint32>(netmask.NetworkOrder()));
    if (parent == nullptr) {
        addTopLevelItem(item);
    } else {
        parent->addChild(item);
        parent->setExpanded(true);
    }
    return item;
}

namespace {

Ipv4Address NodeValue(const QTreeWidgetItem& node, int role) {
    return Ipv4Address::FromNetworkOrder(node.data(0, role).value<quint32>());
}

Ipv4Address NodeAddress(const QTreeWidgetItem& node) {
    return NodeValue(node, kAddressRole);
}

} // namespace

Ipv4Address AdapterTree::GetSelectedAddress() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? Ipv4Address() : NodeAddress(*selected.first());
}

std::vector<Ipv4Address> AdapterTree::SearchableAddresses() const {
    std::vector<Ipv4Address> addresses;
    for (QTreeWidgetItemIterator node(const_cast<AdapterTree*>(this)); *node != nullptr; ++node) {
        AppendSearchable(addresses, NodeAddress(**node));
    }
    return addresses;
}

Ipv4Address AdapterTree::NetmaskOf(Ipv4Address address) const {
    for (QTreeWidgetItemIterator node(const_cast<AdapterTree*>(this)); *node != nullptr; ++node) {
        if (NodeAddress(**node) == address) {
            return NodeValue(**node, kNetmaskRole);
        }
    }
    return {};
}

} // namespace ferrow
