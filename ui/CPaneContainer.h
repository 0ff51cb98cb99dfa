#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace ferrow {

// A titled frame around one client widget: a header with the title and a close button
// across the top, the client below. The close button issues kCommandPaneClose with the
// container as its control.
class CPaneContainer : public QWidget {
    Q_OBJECT

public:
    explicit CPaneContainer(const QString& title, QWidget* parent = nullptr);

    void SetClient(QWidget* client);
    QWidget* Client() const { return m_client; }

signals:
    void Command(int commandId, QObject* control);

private:
    QVBoxLayout* m_layout;
    QLabel* m_title;
    QToolButton* m_closeButton;
    QWidget* m_client = nullptr;
};

} // namespace ferrow
