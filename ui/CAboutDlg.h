#pragma once

#include <QDialog>

namespace ferrow {

// The modal About box: the icon, "Ferrow v" and the version, and OK as the default
// button. OK and Enter end it with kCommandOk, Esc and the close box with kCommandCancel.
// It is laid out from dialog units at an 8-point font and, when shown, centred on its
// owner (or on the work area) and kept inside the work area.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* owner = nullptr);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CenterWindow();
};

} // namespace ferrow
