#pragma once

#include "platform/Ipv4Address.h"

#include <QTreeWidget>
#include <vector>

namespace ferrow {

// Item data role of the tree's nodes: the IPv4 address (quint32, network byte order) that
// a search starts from; 0 on the root, the adapters and 0.0.0.0.
inline constexpr int kAddressRole = Qt::UserRole;

// The left pane's tree of "Computer", adapters and addresses: text items with one 32-bit
// value each, appended as last child, the parent expanded at every insertion, one
// selection that stays visible while the tree has no focus, no editing and no sorting.
class AdapterTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit AdapterTree(QWidget* parent = nullptr);

    // Appends a node under the parent (at the top level for null) and expands the parent.
    QTreeWidgetItem* AppendNode(QTreeWidgetItem* parent, const QString& text, Ipv4Address address);

    // The address of the selected node; 0.0.0.0 when nothing is selected.
    Ipv4Address GetSelectedAddress() const;

    // Every address a search can start from, in the tree's order, each once.
    std::vector<Ipv4Address> SearchableAddresses() const;
};

} // namespace ferrow
