// The About box: what it shows, how it closes, and where it stands.
#include "ui/CAboutDlg.h"
#include "ui/CommandIds.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

// Runs the dialog modally and does `act` on it once it is shown; the dialog's result.
int RunModal(CAboutDlg& dialog, const std::function<void(CAboutDlg&)>& act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        if (dialog.isVisible()) {
            act(dialog);
        }
    });
    // A dialog that does not close fails the test instead of hanging it.
    QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
    return dialog.exec();
}

TEST(AboutDlgTest, ShowsCaptionIconVersionAndOk) {
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About");
    auto* version = dialog.findChild<QLabel*>("versionText");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Ferrow v1.0.03");
    auto* icon = dialog.findChild<QLabel*>("iconLabel");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32) * icon->pixmap().devicePixelRatio());
    auto* ok = dialog.findChild<QPushButton*>("okButton");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
}

TEST(AboutDlgTest, FramesIconAndTextWithOkOutsideToTheRight) {
    CAboutDlg dialog;
    const QRect frame = dialog.findChild<QGroupBox*>("frameBox")->geometry();
    const QRect icon = dialog.findChild<QLabel*>("iconLabel")->geometry();
    const QRect text = dialog.findChild<QLabel*>("versionText")->geometry();
    const QRect ok = dialog.findChild<QPushButton*>("okButton")->geometry();
    EXPECT_TRUE(frame.contains(icon)) << "icon outside the frame";
    EXPECT_TRUE(frame.contains(text)) << "text outside the frame";
    EXPECT_GT(ok.left(), frame.right());
    EXPECT_GT(ok.top(), icon.bottom());
    EXPECT_TRUE(dialog.rect().contains(ok));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "the box is not resizable";
}

TEST(AboutDlgTest, OkClosesWithTheOkCommand) {
    CAboutDlg dialog;
    const int result = RunModal(dialog, [](CAboutDlg& shown) {
        QTest::mouseClick(shown.findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    EXPECT_EQ(result, kCommandOk);
}

TEST(AboutDlgTest, EnterPressesTheDefaultButton) {
    CAboutDlg dialog;
    const int result =
        RunModal(dialog, [](CAboutDlg& shown) { QTest::keyClick(&shown, Qt::Key_Return); });
    EXPECT_EQ(result, kCommandOk);
}

TEST(AboutDlgTest, EscapeClosesWithTheCancelCommand) {
    CAboutDlg dialog;
    const int result =
        RunModal(dialog, [](CAboutDlg& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_EQ(result, kCommandCancel);
}

TEST(AboutDlgTest, CloseBoxClosesWithTheCancelCommand) {
    CAboutDlg dialog;
    const int result = RunModal(dialog, [](CAboutDlg& shown) { shown.close(); });
    EXPECT_EQ(result, kCommandCancel);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(AboutDlgTest, StandsAtTheCentreOfItsOwner) {
    QMainWindow owner;
    owner.setGeometry(100, 80, 600, 400);
    owner.show();
    CAboutDlg dialog(&owner);
    QPoint centre;
    RunModal(dialog, [&centre](CAboutDlg& shown) {
        centre = shown.frameGeometry().center();
        shown.accept();
    });
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 2);
}

TEST(AboutDlgTest, StaysInsideTheWorkAreaWhenTheOwnerIsPartlyOffScreen) {
    QMainWindow owner;
    const QRect workArea = owner.screen()->availableGeometry();
    owner.setGeometry(workArea.left() - 550, workArea.top() + 40, 600, 300);
    owner.show();
    CAboutDlg dialog(&owner);
    QRect placed;
    RunModal(dialog, [&placed](CAboutDlg& shown) {
        placed = shown.frameGeometry();
        shown.accept();
    });
    EXPECT_TRUE(workArea.contains(placed)) << placed.x() << "," << placed.y();
    EXPECT_EQ(placed.left(), workArea.left());
}

TEST(AboutDlgTest, CentresOnTheWorkAreaWithoutOwner) {
    CAboutDlg dialog;
    const QRect workArea = dialog.screen()->availableGeometry();
    QPoint centre;
    RunModal(dialog, [&centre](CAboutDlg& shown) {
        centre = shown.frameGeometry().center();
        shown.accept();
    });
    EXPECT_LE((centre - workArea.center()).manhattanLength(), 2);
}

} // namespace
} // namespace ferrow
