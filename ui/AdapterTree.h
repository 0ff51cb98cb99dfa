#pragma once

#include "platform/Ipv4Address.h"

#include <QTreeWidget>
#include <vector>

namespace ferrow {

// Item data role of the tree's nodes: the IPv4 address (quint32, network byte order) that
// a search starts from; 0 on the root, the adapters and 0.0.0.0.
inline constexpr int kAddressRole = Qt::UserRole;
// Beside it, the netmask of that address (quint32, network byte order); 0 where it is.
inline constexpr int kNetmaskRole = Qt::UserRole + 1;

// The left pane's tree of "Computer", adapters and addresses: text items with an address
// and its netmask each, appended as last child, the parent expanded at every insertion, one
// selection that stays visible while the tree has no focus, no editing and no sorting.
class AdapterTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit AdapterTree(QWidget* parent = nullptr);

    // Appends a node under the parent (at the top level for null) and expands the parent.
    QTreeWidgetItem* AppendNode(QTreeWidgetItem* parent, const QString& text, Ipv4Address address,
                                Ipv4Address netmask = {});

    // The address of the selected node; 0.0.0.0 when nothing is selected.
    Ipv4Address GetSelectedAddress() const;

    // Every address a search can start from, in the tree's order, each once.
    std::vector<Ipv4Address> SearchableAddresses() const;

    // The netmask beside the address's first node; 0.0.0.0 when no node holds it.
    Ipv4Address NetmaskOf(Ipv4Address address) const;
};

} // namespace ferrow
