// The device list: its columns, one row per IP Address text (rows of two protocols merged
// in place), the double-click that opens a device's page, the popup menu and the export.
#include "FrameFakes.h"
#include "ui/CFerrowView.h"
#include "ui/CommandIds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace ferrow {
namespace {

DeviceRecord Record(std::u16string ip, std::u16string model = u"NVR-8",
                    std::u16string port = u"80") {
    return {u"Acme", std::move(model), std::move(ip), u"00:11:22:33:44:55", std::move(port)};
}

class DeviceViewTest : public ::testing::Test {
protected:
    DeviceViewTest() : view(opener) {
        view.resize(600, 300);
        view.show();
    }

    QStringList Column(int column) const {
        QStringList texts;
        for (int row = 0; row < test::RowCount(view); ++row) {
            texts << test::CellText(view, row, column);
        }
        return texts;
    }

    QPoint RowCentre(int row) const {
        return view.visualRect(view.model()->index(row, 0)).center();
    }

    QStringList MenuTexts() {
        QStringList texts;
        const std::unique_ptr<QMenu> menu = view.CreatePopupMenu();
        for (const QAction* action : menu->actions()) {
            texts << action->text();
        }
        return texts;
    }

    // The text of the message box that the action shows, answered at once by the button of
    // that text (closed when there is none).
    QString BoxShownBy(const std::function<void()>& action, const QString& answer = {}) {
        QString text;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                problemFlags = box->textInteractionFlags();
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == answer) {
                        button->click();
                        return;
                    }
                }
                box->close();
            }
        });
        action();
        return text;
    }

    void DoubleClickRow(int row) {
        const QPoint centre = RowCentre(row);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre);
    }

    test::RecordingOpener opener;
    CFerrowView view;
    Qt::TextInteractionFlags problemFlags;
};

TEST_F(DeviceViewTest, HasTheSixColumnsInOrderWithTheirWidths) {
    ASSERT_EQ(view.model()->columnCount(), 6);
    const QStringList headers = {"Manufacture", "Model",     "IP Address",
                                 "MAC Address", "Http Port", "Protocol"};
    const int widths[] = {120, 80, 130, 130, 80, 120};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(view.model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
        EXPECT_EQ(view.columnWidth(column), widths[column]) << column;
    }
}

TEST_F(DeviceViewTest, PutsTheRecordsFieldsInColumnOrder) {
    view.AddDeviceRow({u"Maker & Co", u"X1", u"192.168.1.20", u"00:1A:2B:3C:4D:5E", u"8080"});
    ASSERT_EQ(test::RowCount(view), 1);
    EXPECT_EQ(test::CellText(view, 0, 0), "Maker & Co");
    EXPECT_EQ(test::CellText(view, 0, 1), "X1");
    EXPECT_EQ(test::CellText(view, 0, 2), "192.168.1.20");
    EXPECT_EQ(test::CellText(view, 0, 3), "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(test::CellText(view, 0, 4), "8080");
    EXPECT_EQ(test::CellText(view, 0, 5), "UDP 2900");
}

// The rule itself is DeviceCollection's; here only that the list follows it, within a
// batch and across calls, and forgets its rows when cleared.
TEST_F(DeviceViewTest, ListsOneRowPerIpTextUntilCleared) {
    view.AddDeviceRows({{Record(u"192.168.1.20", u"first"), {}},
                        {Record(u"192.168.1.21"), {}},
                        {Record(u"192.168.1.20", u"second"), {}}});
    view.AddDeviceRow(Record(u"192.168.1.21", u"third"));
    EXPECT_EQ(Column(2), QStringList({"192.168.1.20", "192.168.1.21"}));
    EXPECT_EQ(Column(1), QStringList({"first", "NVR-8"}));
    view.ClearDevices();
    EXPECT_EQ(test::RowCount(view), 0);
    view.AddDeviceRow(Record(u"192.168.1.20", u"new"));
    EXPECT_EQ(Column(1), QStringList({"new"}));
}

DeviceRow OnvifRow(std::u16string ip, std::u16string model, std::u16string port = u"80",
                   std::u16string scheme = u"http") {
    return RowOfOnvifDevice(
        {{u"", std::move(model), std::move(ip), u"", std::move(port)}, std::move(scheme)},
        u"10.0.0.9", {});
}

// A device of a listed IP text heard in the other protocol changes its row in place; the
// new devices of the same delivery come in one insertion, merged among themselves.
TEST_F(DeviceViewTest, MergesARowOfTheOtherProtocolInPlace) {
    view.AddDeviceRows({{Record(u"192.168.1.20"), {}}, {Record(u"192.168.1.21", u""), {}}});
    QSignalSpy changed(view.model(), &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(view.model(), &QAbstractItemModel::rowsInserted);
    view.AddDeviceRows({OnvifRow(u"192.168.1.22", u"Cam-4"),
                        OnvifRow(u"192.168.1.21", u"Cam-2", u"443", u"https"),
                        OnvifRow(u"192.168.1.22", u"Cam-4b"),
                        {Record(u"192.168.1.23", u""), {}},
                        OnvifRow(u"192.168.1.23", u"Cam-5")});
    EXPECT_EQ(Column(1), QStringList({"NVR-8", "Cam-2", "Cam-4", "Cam-5"}));
    EXPECT_EQ(Column(5), QStringList({"UDP 2900", "UDP 2900, ONVIF", "ONVIF", "UDP 2900, ONVIF"}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), view.model()->index(1, 0));
    EXPECT_EQ(changed[0][1].toModelIndex(), view.model()->index(1, 5));
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 2);
    EXPECT_EQ(inserted[0][2].toInt(), 3);
}

TEST_F(DeviceViewTest, SelectsOneWholeRowAndEditsNothing) {
    view.AddDeviceRow(Record(u"192.168.1.20"));
    view.AddDeviceRow(Record(u"192.168.1.21"));
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(view.model()->flags(view.model()->index(0, 0)) & Qt::ItemIsEditable);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, RowCentre(0));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(1));
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), 6) << "the whole row";
}

TEST_F(DeviceViewTest, KeepsTheSelectionColouredWithoutFocus) {
    const QPalette colours = view.palette();
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::Highlight),
              colours.color(QPalette::Active, QPalette::Highlight));
}

TEST_F(DeviceViewTest, ClickingAHeaderDoesNotSort) {
    view.AddDeviceRow(Record(u"192.168.1.30"));
    view.AddDeviceRow(Record(u"192.168.1.10"));
    const QHeaderView* header = view.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionPosition(2) + 5, header->height() / 2));
    EXPECT_EQ(Column(2), QStringList({"192.168.1.30", "192.168.1.10"}));
}

TEST_F(DeviceViewTest, DoubleClickOpensTheRowsWebPage) {
    view.AddDeviceRow(Record(u"192.168.1.21", u"a", u"8080"));
    view.AddDeviceRow(Record(u"192.168.1.20", u"b", u"80"));
    DoubleClickRow(1);
    EXPECT_EQ(opener.opened, std::vector<QString>{"http://192.168.1.20:80/"});
}

TEST_F(DeviceViewTest, DoubleClickOpensTheSchemeOfTheRowsPort) {
    view.AddDeviceRows({OnvifRow(u"192.168.1.20", u"Cam", u"443", u"https"),
                        OnvifRow(u"192.168.1.21", u"Cam", u"80", u"file")});
    DoubleClickRow(0);
    EXPECT_EQ(opener.opened, std::vector<QString>{"https://192.168.1.20:443/"});
    const QString refused = BoxShownBy([this] { DoubleClickRow(1); });
    EXPECT_TRUE(refused.contains("Scheme: file")) << refused.toStdString();
    EXPECT_EQ(opener.opened.size(), 1u);
}

TEST_F(DeviceViewTest, DoubleClickKeepsAnEmptyPort) {
    view.AddDeviceRow(Record(u"192.168.1.20", u"a", u""));
    DoubleClickRow(0);
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_TRUE(opener.opened[0].startsWith("http://192.168.1.20"))
        << opener.opened[0].toStdString();
    EXPECT_EQ(QUrl(opener.opened[0]).port(), -1);
}

TEST_F(DeviceViewTest, AnAddressThatCannotBeOpenedIsShownInAMessageBox) {
    view.AddDeviceRow(Record(u"evil.example/x?@192.168.1.20", u"a", u"80"));
    view.AddDeviceRow(Record(u"192.168.1.22", u"b", u"80"));
    const QString unsafe = BoxShownBy([this] { DoubleClickRow(0); });
    EXPECT_TRUE(unsafe.contains("IP Address: evil.example/x?@192.168.1.20"))
        << unsafe.toStdString();
    EXPECT_TRUE(opener.opened.empty());

    opener.browserStarts = false;
    const QString noBrowser = BoxShownBy([this] { DoubleClickRow(1); });
    EXPECT_TRUE(noBrowser.contains("http://192.168.1.22:80/")) << noBrowser.toStdString();
    EXPECT_EQ(problemFlags & Qt::TextSelectableByMouse, Qt::TextSelectableByMouse);
}

// Heard from 10.1.2.3/8: a device in 192.168.0.0/24 stands outside; one whose IP text is
// no address cannot be placed and is not marked.
std::vector<DeviceRow> RowsHeardFromANetworkOfEight() {
    const Ipv4Address netmask = Ipv4Address::FromText("255.0.0.0");
    return {RowOfReply(Record(u"10.200.0.7"), u"10.1.2.3", netmask),
            RowOfReply(Record(u"192.168.0.20"), u"10.1.2.3", netmask),
            RowOfReply(Record(u"nvr.local"), u"10.1.2.3", netmask)};
}

TEST_F(DeviceViewTest, ARowOutsideTheLocalNetworkHasAnIconAndSaysWhyOnItsTooltip) {
    view.AddDeviceRows(RowsHeardFromANetworkOfEight());
    const QAbstractItemModel& rows = *view.model();
    EXPECT_FALSE(rows.index(1, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(rows.index(1, 3).data(Qt::ToolTipRole).toString(),
              "<p>This device is in network 192.168.0.0/24; this computer's address 10.1.2.3 is "
              "in network 10.0.0.0/8. Its web page cannot open until this computer has an "
              "address in 192.168.0.0/24 or the device gets one in 10.0.0.0/8.</p>");
    EXPECT_TRUE(rows.index(1, 1).data(Qt::DecorationRole).isNull()) << "the first cell only";
    for (const int inside : {0, 2}) {
        EXPECT_TRUE(rows.index(inside, 0).data(Qt::DecorationRole).isNull()) << inside;
        EXPECT_TRUE(rows.index(inside, 0).data(Qt::ToolTipRole).isNull()) << inside;
    }
}

TEST_F(DeviceViewTest, OpeningAPageOutsideTheLocalNetworkAsksFirst) {
    view.AddDeviceRows(RowsHeardFromANetworkOfEight());
    const QString warning = BoxShownBy([this] { DoubleClickRow(1); }, "Cancel");
    EXPECT_TRUE(warning.contains("cannot open until")) << warning.toStdString();
    EXPECT_TRUE(opener.opened.empty());
    BoxShownBy([this] { DoubleClickRow(1); }, "Open Anyway");
    EXPECT_EQ(opener.opened, std::vector<QString>{"http://192.168.0.20:80/"});
    DoubleClickRow(0); // inside: no question
    EXPECT_EQ(opener.opened.size(), 2u);
}

TEST_F(DeviceViewTest, DoubleClickBelowTheRowsOpensNothing) {
    view.AddDeviceRow(Record(u"192.168.1.20"));
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {},
                       QPoint(10, view.viewport()->height() - 5));
    EXPECT_TRUE(opener.opened.empty());
}

TEST_F(DeviceViewTest, PopupMenuOffersRowItemsOnlyOnARow) {
    EXPECT_EQ(MenuTexts(), QStringList({"Refresh", "Search All Addresses", "&Keep Searching",
                                        "Export List\u2026"}));
    view.AddDeviceRow(Record(u"192.168.1.20"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, RowCentre(0));
    const std::unique_ptr<QMenu> menu = view.CreatePopupMenu();
    EXPECT_EQ(MenuTexts(),
              QStringList({"Open Web Page", "Copy IP Address", "Copy Row", "", "Refresh",
                           "Search All Addresses", "&Keep Searching", "Export List\u2026"}));
    EXPECT_EQ(menu->defaultAction()->text(), "Open Web Page");

    QSignalSpy commands(&view, &CFerrowView::Command);
    menu->actions()[4]->trigger();
    menu->actions()[5]->trigger();
    menu->actions()[6]->trigger();
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[0][0].toInt(), kCommandRefresh);
    EXPECT_EQ(commands[1][0].toInt(), kCommandSearchAll);
    EXPECT_EQ(commands[2][0].toInt(), kCommandKeepSearching);
    EXPECT_EQ(commands[0][1].value<QObject*>(), &view);
}

TEST_F(DeviceViewTest, CopiesTheIpAddressOrTheRowAndOpensThePageFromTheKeyboard) {
    view.AddDeviceRow({u"Maker", u"X1", u"192.168.1.20", u"00:1A", u"8080"});
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, RowCentre(0));
    view.findChild<QAction*>("actionCopyIpAddress")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "192.168.1.20");
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Maker\tX1\t192.168.1.20\t00:1A\t8080\tUDP 2900");
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(opener.opened, std::vector<QString>{"http://192.168.1.20:8080/"});
}

// The bytes written out: CSV by RFC 4180 with CRLF, JSON indented by two, both UTF-8
// (a Latin letter, a CJK one, one beyond the BMP and a direction mark among the texts).
TEST_F(DeviceViewTest, ExportWritesTheRowsAsCsvOrJsonByTheFileName) {
    view.AddDeviceRows(
        {{{u"A, \"B\"", u"M\u00FCller", u"10.0.0.1", u"", u"80"}, u"10.0.0.9"},
         {{u"C\r\nD", u"\u6771\U0001F600\u202E", u"10.0.0.2", u"02:00", u"8080"}, u"10.0.0.9"},
         OnvifRow(u"10.0.0.2", u"F", u"443", u"https")});
    const std::string csv = "Manufacture,Model,IP,MAC,HttpPort,LocalAddress,Protocol,SameSubnet\r\n"
                            "\"A, \"\"B\"\"\",M\xC3\xBCller,10.0.0.1,,80,10.0.0.9,UDP 2900,true\r\n"
                            "\"C\r\nD\",\xE6\x9D\xB1\xF0\x9F\x98\x80\xE2\x80\xAE,10.0.0.2,02:00,"
                            "8080,10.0.0.9,\"UDP 2900, ONVIF\",true\r\n";
    const std::string json = "[\n"
                             "  {\n"
                             "    \"Manufacture\": \"A, \\\"B\\\"\",\n"
                             "    \"Model\": \"M\xC3\xBCller\",\n"
                             "    \"IP\": \"10.0.0.1\",\n"
                             "    \"MAC\": \"\",\n"
                             "    \"HttpPort\": \"80\",\n"
                             "    \"LocalAddress\": \"10.0.0.9\",\n"
                             "    \"Protocol\": \"UDP 2900\",\n"
                             "    \"SameSubnet\": true\n"
                             "  },\n"
                             "  {\n"
                             "    \"Manufacture\": \"C\\r\\nD\",\n"
                             "    \"Model\": \"\xE6\x9D\xB1\xF0\x9F\x98\x80\xE2\x80\xAE\",\n"
                             "    \"IP\": \"10.0.0.2\",\n"
                             "    \"MAC\": \"02:00\",\n"
                             "    \"HttpPort\": \"8080\",\n"
                             "    \"LocalAddress\": \"10.0.0.9\",\n"
                             "    \"Protocol\": \"UDP 2900, ONVIF\",\n"
                             "    \"SameSubnet\": true\n"
                             "  }\n"
                             "]\n";
    const QTemporaryDir folder;
    for (const auto& [name, expected] : {std::pair{"list.csv", csv},
                                         {"list.txt", csv},
                                         {"list.json", json},
                                         {"LIST.JSON", json}}) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(view.ExportList(path));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().toStdString(), expected) << name;
    }
}

TEST_F(DeviceViewTest, ExportTakesAPathWithCharactersBeyondTheCodePage) {
    view.AddDeviceRow(Record(u"10.0.0.1"));
    const QTemporaryDir folder;
    const QString name = QStringLiteral("\u00DCberwachung \u6771\u829d \u0416.csv");
    ASSERT_TRUE(view.ExportList(folder.filePath(name)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{name});
    QFile file(folder.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("10.0.0.1"));
}

TEST_F(DeviceViewTest, RightClickOnAnEmptyListShowsThePopupMenu) {
    QSignalSpy commands(&view, &CFerrowView::Command);
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (popup == nullptr) {
            return;
        }
        for (QAction* action : popup->actions()) {
            shown << action->text();
        }
        popup->actions().value(0)->trigger();
        popup->close();
    });
    const QPoint point(50, 50);
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, view.viewport()->mapToGlobal(point));
    QApplication::sendEvent(view.viewport(), &event);

    EXPECT_EQ(shown, QStringList({"Refresh", "Search All Addresses", "&Keep Searching",
                                  "Export List\u2026"}));
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0][0].toInt(), kCommandRefresh);
}

} // namespace
} // namespace ferrow
