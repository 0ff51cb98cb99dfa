#include "ui/CAboutDlg.h"

#include "res/FerrowVersion.h"
#include "ui/AppIcon.h"
#include "ui/CommandIds.h"
#include "ui/DialogLayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace ferrow {

namespace {

constexpr int kDialogFontPoints = 8;
constexpr QSize kDialogSizeUnits(187, 102);
constexpr QRect kOkButtonUnits(130, 81, 50, 14);
constexpr QRect kVersionTextUnits(25, 57, 78, 32);
constexpr QPoint kIconPositionUnits(55, 26);
constexpr QRect kFrameBoxUnits(7, 7, 115, 88);
constexpr int kIconPixels = 32; // an icon control takes the size of its large icon

} // namespace

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(ApplicationIcon());
    setModal(true);

    QFont dialogFont = font();
    dialogFont.setPointSize(kDialogFontPoints);
    setFont(dialogFont);
    const QSize units = DialogBaseUnits(dialogFont);
    const auto place = [&units](QWidget* control, const QRect& dialogUnits) {
        control->setGeometry(MapDialogRect(dialogUnits, units));
    };

    // Created in tab order: the button first, so that it takes the focus.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    place(ok, kOkButtonUnits);
    connect(ok, &QPushButton::clicked, this, [this] { done(kCommandOk); });

    auto* version =
        new QLabel(QStringLiteral("Ferrow v") + QLatin1String(FERROW_ABOUT_VERSION_TEXT), this);
    version->setObjectName(QStringLiteral("versionText"));
    version->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    version->setWordWrap(true);
    place(version, kVersionTextUnits);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    icon->setPixmap(ApplicationIcon().pixmap(kIconPixels, kIconPixels));
    icon->setGeometry(QRect(MapDialogRect(QRect(kIconPositionUnits, QSize(0, 0)), units).topLeft(),
                            QSize(kIconPixels, kIconPixels)));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("frameBox"));
    place(frame, kFrameBoxUnits);
    frame->lower();

    setFixedSize(MapDialogRect(QRect(QPoint(), kDialogSizeUnits), units).size());
    ok->setFocus();
}

void CAboutDlg::reject() {
    done(kCommandCancel);
}

void CAboutDlg::showEvent(QShowEvent* event) {
    CenterWindow();
    QDialog::showEvent(event);
}

void CAboutDlg::CenterWindow() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    std::optional<QRect> reference;
    if (owner != nullptr && owner->isVisible() && !owner->isMinimized()) {
        reference = owner->frameGeometry();
    }
    const QScreen* screen = owner != nullptr && reference ? owner->screen() : this->screen();
    if (screen == nullptr) {
        return;
    }
    move(CenteredDialogPosition(frameGeometry().size(), reference, screen->availableGeometry()));
}

} // namespace ferrow
