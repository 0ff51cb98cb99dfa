#include "ui/CPaneContainer.h"

#include "ui/CommandIds.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace ferrow {

CPaneContainer::CPaneContainer(const QString& title, QWidget* parent)
    : QWidget(parent), m_layout(new QVBoxLayout(this)), m_title(new QLabel(title, this)),
      m_closeButton(new QToolButton(this)) {
    setObjectName(QStringLiteral("paneContainer"));
    m_title->setObjectName(QStringLiteral("paneTitle"));
    m_closeButton->setObjectName(QStringLiteral("paneCloseButton"));
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 1, 1, 1);
    header->addWidget(m_title, 1);
    header->addWidget(m_closeButton);

    // No border around the pane: the client's own edge frames it.
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addLayout(header);

    connect(m_closeButton, &QToolButton::clicked, this,
            [this] { emit Command(kCommandPaneClose, this); });
}

void CPaneContainer::SetClient(QWidget* client) {
    if (m_client != nullptr) {
        m_layout->removeWidget(m_client);
    }
    m_client = client;
    client->setParent(this);
    m_layout->addWidget(client, 1);
}

} // namespace ferrow
