// The main frame: its menus and their checks, the status bar, the splitter and the tree
// pane, the adapter tree filled from a fake source, and the searches that selections and
// "Refresh" start (observed through a recording searcher: nothing here touches a network).
#include "FrameFakes.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/SearchEnd.h"
#include "platform/Ipv4Address.h"
#include "ui/AdapterTree.h"
#include "ui/AppModule.h"
#include "ui/ApplicationEntry.h"
#include "ui/CFerrowView.h"
#include "ui/CMainFrame.h"
#include "ui/CPaneContainer.h"
#include "ui/CommandIds.h"
#include "ui/ProportionalSplitter.h"
#include "ui/SearchProtocolChoice.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <array>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

using Searches = std::vector<std::string>;

std::vector<AdapterInfo> TwoAdaptersAndAnEmptyOne() {
    return {{"eth0",
             {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E},
             {test::Address("192.168.1.20"), test::Address("10.0.0.5", "255.0.0.0")}},
            {"wlan0", {}, {test::Address("0.0.0.0", "0.0.0.0")}},
            {"eth1", {0x02, 0x00, 0x00, 0x00, 0x00, 0x01}, {test::Address("192.168.1.20")}}};
}

QStringList ActionTexts(const QWidget* widget) {
    QStringList texts;
    for (const QAction* action : widget->actions()) {
        texts << action->text();
    }
    return texts;
}

class MainFrameTest : public ::testing::Test {
protected:
    explicit MainFrameTest(std::vector<AdapterInfo> adapterList = TwoAdaptersAndAnEmptyOne())
        : adapters(std::move(adapterList)), frame(FrameServices{adapters, searcher, opener}) {
        EXPECT_TRUE(frame.CreateEx(FrameRectangle({1920, 1080})));
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }

    AdapterTree* Tree() const { return frame.findChild<AdapterTree*>("adapterTree"); }
    CFerrowView* List() const { return frame.findChild<CFerrowView*>("deviceList"); }
    CPaneContainer* Pane() const { return frame.findChild<CPaneContainer*>("paneContainer"); }
    ProportionalSplitter* Splitter() const {
        return frame.findChild<ProportionalSplitter*>("splitter");
    }
    QAction* Action(const char* name) const { return frame.findChild<QAction*>(name); }
    QString StatusText() const { return frame.findChild<QLabel*>("statusText")->text(); }

    QTreeWidgetItem* Root() const { return Tree()->topLevelItem(0); }
    QTreeWidgetItem* Adapter(int index) const { return Root()->child(index); }
    QTreeWidgetItem* Address(int adapter, int index) const {
        return Adapter(adapter)->child(index);
    }

    void Click(QTreeWidgetItem* item) {
        QTreeWidget* tree = Tree();
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
        DeliverSearchNews();
    }

    // Rows reach the window in one turn of its event loop, a search's end in the next.
    static void DeliverSearchNews() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // Two recorders that answer 100 ms apart, so that a search runs a while.
    void PlayTwoRepliesSlowly() {
        searcher.replies = {test::RecorderReply(u"Acme", u"N1", u"192.168.1.30", u"M1", u"80"),
                            test::RecorderReply(u"Acme", u"N2", u"192.168.1.31", u"M2", u"81")};
        searcher.gap = std::chrono::milliseconds(100);
    }
    bool WaitForRows(int rows) {
        return QTest::qWaitFor([this, rows] { return test::RowCount(*List()) == rows; }, 2000);
    }
    // Waits until no search runs and what it delivered has arrived.
    bool FinishSearch() {
        const bool ended = QTest::qWaitFor([this] { return searcher.running == 0; }, 5000);
        DeliverSearchNews();
        return ended;
    }

    // The bar's width is the style's; a fixed one makes the expected positions exact.
    void ResizeWithFourPixelBar(int width) {
        Splitter()->setHandleWidth(4);
        frame.resize(width, 500);
        QApplication::processEvents();
    }

    void FillListWithOneRow() {
        frame.OnDeviceReply(test::RecorderReply(u"Acme", u"X", u"192.168.1.99", u"M", u"80"));
        ASSERT_EQ(test::RowCount(*List()), 1);
    }

    // Each test's frame starts from the default choice, whatever an earlier test chose.
    struct DefaultSearchProtocols {
        DefaultSearchProtocols() { SaveSearchProtocols(ProtocolSet::All()); }
    } defaultProtocols;
    test::FakeAdapterSource adapters;
    test::RecordingSearcher searcher;
    test::RecordingOpener opener;
    CMainFrame frame;
};

TEST_F(MainFrameTest, HasTitleMenusAndStatusText) {
    EXPECT_EQ(frame.windowTitle(), "Ferrow");
    EXPECT_FALSE(frame.windowIcon().isNull());
    EXPECT_EQ(ActionTexts(frame.menuBar()), QStringList({"&View", "&Help"}));
    EXPECT_EQ(
        ActionTexts(frame.findChild<QMenu*>("viewMenu")),
        QStringList({"&Status Bar", "Tree &Pane", "", "Search P&rotocols", "&Keep Searching"}));
    EXPECT_EQ(ActionTexts(frame.findChild<QMenu*>("helpMenu")), QStringList({"&About Ferrow..."}));
    for (const char* name : {"actionStatusBar", "actionTreePane", "actionKeepSearching"}) {
        EXPECT_TRUE(Action(name)->isCheckable()) << name;
        EXPECT_EQ(Action(name)->isChecked(), name != std::string("actionKeepSearching")) << name;
    }
    EXPECT_EQ(StatusText(), "Ready");
    EXPECT_EQ(Pane()->findChild<QLabel*>("paneTitle")->text(), "Network Adaptor");
}

TEST_F(MainFrameTest, BuildsTheExpandedTreeFromTheAdapters) {
    QTreeWidget* tree = Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->text(0), "Computer");
    ASSERT_EQ(Root()->childCount(), 3);
    EXPECT_EQ(Adapter(0)->text(0), "eth0 (00:1A:2B:3C:4D:5E)");
    EXPECT_EQ(Adapter(1)->text(0), "wlan0 ()");
    EXPECT_EQ(Adapter(2)->text(0), "eth1 (02:00:00:00:00:01)");
    ASSERT_EQ(Adapter(0)->childCount(), 2);
    EXPECT_EQ(Address(0, 0)->text(0), "192.168.1.20");
    EXPECT_EQ(Address(0, 1)->text(0), "10.0.0.5");
    EXPECT_EQ(Address(1, 0)->text(0), "0.0.0.0");
    EXPECT_EQ(Address(2, 0)->text(0), "192.168.1.20");
    EXPECT_TRUE(Root()->isExpanded());
    for (int adapter = 0; adapter < 3; ++adapter) {
        EXPECT_TRUE(Adapter(adapter)->isExpanded()) << adapter;
    }
}

TEST_F(MainFrameTest, StoresAddressesAndNetmasksInNetworkOrderAndZeroElsewhere) {
    const quint32 address = Address(0, 0)->data(0, kAddressRole).value<quint32>();
    std::array<unsigned char, 4> bytes{};
    std::memcpy(bytes.data(), &address, bytes.size());
    EXPECT_EQ(bytes, (std::array<unsigned char, 4>{192, 168, 1, 20}));
    EXPECT_EQ(Address(0, 1)->data(0, kAddressRole).value<quint32>(),
              Ipv4Address::FromText("10.0.0.5").NetworkOrder());
    EXPECT_EQ(Root()->data(0, kAddressRole).value<quint32>(), 0u);
    EXPECT_EQ(Adapter(0)->data(0, kAddressRole).value<quint32>(), 0u);
    EXPECT_EQ(Address(1, 0)->data(0, kAddressRole).value<quint32>(), 0u);
    EXPECT_EQ(Address(0, 1)->data(0, kNetmaskRole).value<quint32>(),
              Ipv4Address::FromText("255.0.0.0").NetworkOrder());
    EXPECT_EQ(Address(2, 0)->data(0, kNetmaskRole).value<quint32>(),
              Ipv4Address::FromText("255.255.255.0").NetworkOrder());
    EXPECT_EQ(Adapter(0)->data(0, kNetmaskRole).value<quint32>(), 0u);
}

TEST_F(MainFrameTest, StartsWithAnEmptyListAndNoSearch) {
    EXPECT_EQ(test::RowCount(*List()), 0);
    EXPECT_TRUE(searcher.searches.empty());
    EXPECT_TRUE(Tree()->selectedItems().isEmpty());
}

TEST_F(MainFrameTest, SelectingAnAddressSearchesFromItAndListsTheReplies) {
    searcher.replies = {test::RecorderReply(u"Acme", u"N1", u"192.168.1.30", u"M1", u"80"),
                        test::RecorderReply(u"Acme", u"N2", u"192.168.1.31", u"M2", u"81"),
                        test::RecorderReply(u"Acme", u"N1b", u"192.168.1.30", u"M1", u"82")};
    Click(Address(0, 0));
    EXPECT_EQ(searcher.searches, Searches{"192.168.1.20"});
    ASSERT_EQ(test::RowCount(*List()), 2);
    EXPECT_EQ(test::CellText(*List(), 0, 1), "N1");
    EXPECT_EQ(test::CellText(*List(), 1, 2), "192.168.1.31");

    EXPECT_TRUE(List()->model()->index(0, 0).data(Qt::DecorationRole).isNull());

    // The same devices heard from 10.0.0.5/8 stand outside its network.
    Click(Address(0, 1));
    EXPECT_EQ(searcher.searches, (Searches{"192.168.1.20", "10.0.0.5"}));
    ASSERT_EQ(test::RowCount(*List()), 2) << "the second search starts from an empty list";
    EXPECT_FALSE(List()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
    const QString tip = List()->model()->index(0, 2).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains("192.168.1.0/24") && tip.contains("10.0.0.0/8")) << tip.toStdString();
}

// A port-2900 reply and an ONVIF device of the same IP text are one row, its empty fields
// filled from the device.
TEST_F(MainFrameTest, AnOnvifDeviceMergesIntoTheRowOfItsRecorder) {
    searcher.replies = {test::RecorderReply(u"Acme", u"", u"192.168.1.30", u"", u"80")};
    searcher.onvifDevices = {
        {{u"Cam Co", u"C2", u"192.168.1.30", u"02:00:00:00:00:30", u"443"}, u"https"},
        {{u"Cam Co", u"C3", u"192.168.1.31", u"", u"80"}, u"http"}};
    Click(Address(0, 0));
    EXPECT_EQ(searcher.searchedProtocols, std::vector{ProtocolSet::All()});
    ASSERT_EQ(test::RowCount(*List()), 2);
    QStringList cells;
    for (int column = 0; column < DeviceListModel::kColumnCount; ++column) {
        cells << test::CellText(*List(), 0, column);
    }
    EXPECT_EQ(cells, QStringList({"Acme", "C2", "192.168.1.30", "02:00:00:00:00:30", "80",
                                  "UDP 2900, ONVIF"}));
    EXPECT_EQ(test::CellText(*List(), 1, 5), "ONVIF");
    EXPECT_EQ(StatusText(), "2 devices found from 192.168.1.20");
}

// The choice of protocols reaches the next search, starts none itself, and is kept for
// the next frame.
TEST_F(MainFrameTest, TheProtocolChoiceGoesToTheNextSearchesAndIsKept) {
    QMenu* menu = frame.findChild<QMenu*>("searchProtocolsMenu");
    EXPECT_EQ(ActionTexts(menu),
              QStringList({"UDP 2900 &and ONVIF", "&UDP 2900 Only", "&ONVIF Only"}));
    EXPECT_TRUE(Action("actionSearchBothProtocols")->isChecked());
    Click(Address(0, 0));
    Action("actionSearchOnvifOnly")->trigger();
    EXPECT_EQ(searcher.searches.size(), 1u) << "choosing starts no search";
    EXPECT_FALSE(Action("actionSearchBothProtocols")->isChecked());
    frame.HandleCommand(kCommandRefresh, List());
    Action("actionSearchUdp2900Only")->trigger();
    Action("actionSearchUdp2900Only")->trigger();
    EXPECT_TRUE(Action("actionSearchUdp2900Only")->isChecked()) << "the items are exclusive";
    frame.HandleCommand(kCommandRefresh, List());
    EXPECT_EQ(searcher.searchedProtocols,
              (std::vector<ProtocolSet>{ProtocolSet::All(), DeviceProtocol::Onvif,
                                        DeviceProtocol::Udp2900}));

    Action("actionSearchOnvifOnly")->trigger();
    CMainFrame next(FrameServices{adapters, searcher, opener});
    ASSERT_TRUE(next.CreateEx(QRect(0, 0, 1000, 500)));
    EXPECT_TRUE(next.findChild<QAction*>("actionSearchOnvifOnly")->isChecked());
    next.SearchAllAddresses();
    EXPECT_EQ(searcher.searchedProtocols.back(), DeviceProtocol::Onvif);
}

TEST_F(MainFrameTest, StatusBarSaysHowManyDevicesTheFullListTurnedAway) {
    for (std::size_t i = 0; i < kMaxDevicesPerSearch + 3; ++i) {
        const std::string ip = std::to_string(i);
        searcher.replies.push_back(
            test::RecorderReply(u"Acme", u"N", std::u16string(ip.begin(), ip.end()), u"M", u"80"));
    }
    Click(Address(0, 0));
    EXPECT_EQ(static_cast<std::size_t>(test::RowCount(*List())), kMaxDevicesPerSearch);
    EXPECT_EQ(StatusText(), "65536 devices found from 192.168.1.20; Listed the first 65536 "
                            "devices only, the most one list holds; replies from 3 more were "
                            "dropped");

    searcher.replies.resize(1);
    Click(Address(0, 1));
    EXPECT_EQ(StatusText(), "1 device found from 10.0.0.5");
}

TEST_F(MainFrameTest, RowsAppearWhileTheSearchRunsAndTheStatusBarFollowsIt) {
    PlayTwoRepliesSlowly();
    Click(Address(0, 0));
    EXPECT_EQ(StatusText(), "Searching from 192.168.1.20\u2026 0 devices");
    ASSERT_TRUE(WaitForRows(1));
    EXPECT_EQ(searcher.running, 1) << "the first row came while the search still ran";
    EXPECT_EQ(StatusText(), "Searching from 192.168.1.20\u2026 1 device");
    ASSERT_TRUE(FinishSearch());
    EXPECT_EQ(StatusText(), "2 devices found from 192.168.1.20");
}

// The end's handler may destroy the search (it starts the next one): it runs only after
// the call that delivered the rows has returned.
TEST_F(MainFrameTest, TheEndOfASearchComesInATurnOfItsOwn) {
    Click(Address(0, 0));
    frame.HandleCommand(kCommandRefresh, List());
    QCoreApplication::processEvents();
    EXPECT_EQ(StatusText(), "Searching from 192.168.1.20\u2026 0 devices");
    QCoreApplication::processEvents();
    EXPECT_EQ(StatusText(), "No device answered on 192.168.1.20");
}

TEST_F(MainFrameTest, ANewSelectionStopsTheRunningSearchAndEmptiesTheList) {
    PlayTwoRepliesSlowly();
    Click(Address(0, 0));
    ASSERT_TRUE(WaitForRows(1));
    Click(Address(0, 1));
    EXPECT_EQ(searcher.running, 1) << "the first search still runs";
    EXPECT_EQ(test::RowCount(*List()), 0);
    EXPECT_EQ(searcher.searches, (Searches{"192.168.1.20", "10.0.0.5"}));
    ASSERT_TRUE(FinishSearch());
    EXPECT_EQ(StatusText(), "2 devices found from 10.0.0.5");
}

TEST_F(MainFrameTest, StatusBarSaysWhenNothingAnsweredOrTheSearchCouldNotStart) {
    Click(Address(0, 0));
    EXPECT_EQ(StatusText(), "No device answered on 192.168.1.20");
    searcher.endReason = SearchEndReason::PortInUse;
    Click(Address(0, 1));
    EXPECT_EQ(StatusText(), "Cannot search from 10.0.0.5: UDP port 2900 is held by another "
                            "program that does not allow address reuse");
    Click(Adapter(1));
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(MainFrameTest, SearchAllAddressesSearchesEachAddressOnceAndMergesTheRows) {
    searcher.replies = {test::RecorderReply(u"Acme", u"N1", u"192.168.1.30", u"M1", u"80")};
    searcher.gap = std::chrono::milliseconds(20);
    frame.HandleCommand(kCommandSearchAll, List());
    ASSERT_TRUE(QTest::qWaitFor([this] { return searcher.searches.size() == 2; }, 2000));
    ASSERT_TRUE(FinishSearch());
    EXPECT_EQ(searcher.searches, (Searches{"192.168.1.20", "10.0.0.5"}));
    EXPECT_EQ(test::RowCount(*List()), 1);
    EXPECT_EQ(StatusText(), "1 device found from every address");
}

TEST_F(MainFrameTest, F5RefreshesFromAnywhereInTheWindow) {
    Click(Address(0, 1));
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_F5);
    EXPECT_EQ(searcher.searches, (Searches{"10.0.0.5", "10.0.0.5"}));
}

TEST_F(MainFrameTest, SelectingTheRootAnAdapterOrNoAddressClearsAndSearchesNothing) {
    for (QTreeWidgetItem* node : {Root(), Adapter(0), Address(1, 0)}) {
        FillListWithOneRow();
        Click(node);
        ASSERT_TRUE(node->isSelected()) << node->text(0).toStdString();
        EXPECT_EQ(test::RowCount(*List()), 0) << node->text(0).toStdString();
    }
    EXPECT_TRUE(searcher.searches.empty());
}

TEST_F(MainFrameTest, TheSameAddressUnderTwoAdaptersSearchesTheSame) {
    Click(Address(0, 0));
    Click(Address(2, 0));
    EXPECT_EQ(searcher.searches, (Searches{"192.168.1.20", "192.168.1.20"}));
}

TEST_F(MainFrameTest, ClickingTheSelectedNodeStartsNoSearchButRefreshDoes) {
    Click(Address(0, 1));
    Click(Address(0, 1));
    EXPECT_EQ(searcher.searches, Searches{"10.0.0.5"});

    FillListWithOneRow();
    const std::unique_ptr<QMenu> popup = List()->CreatePopupMenu();
    popup->actions().value(0)->trigger(); // "Refresh"
    EXPECT_EQ(searcher.searches, (Searches{"10.0.0.5", "10.0.0.5"}));
    EXPECT_EQ(test::RowCount(*List()), 0);
}

TEST_F(MainFrameTest, RefreshOnAnAdapterOrWithoutSelectionOnlyClears) {
    FillListWithOneRow();
    frame.HandleCommand(kCommandRefresh, List());
    EXPECT_EQ(test::RowCount(*List()), 0);

    Click(Adapter(0));
    FillListWithOneRow();
    frame.HandleCommand(kCommandRefresh, List());
    EXPECT_EQ(test::RowCount(*List()), 0);
    EXPECT_TRUE(searcher.searches.empty());
}

TEST_F(MainFrameTest, ArrowKeysSearchOncePerSelectionChange) {
    Click(Root());
    Tree()->setFocus();
    for (int step = 0; step < 4; ++step) {
        QTest::keyClick(Tree(), Qt::Key_Down);
    }
    // eth0, 192.168.1.20, 10.0.0.5, wlan0
    EXPECT_EQ(searcher.searches, (Searches{"192.168.1.20", "10.0.0.5"}));
    EXPECT_TRUE(Adapter(1)->isSelected());
}

TEST_F(MainFrameTest, KeepsTheTreeSelectionColouredWithoutFocus) {
    const QPalette colours = Tree()->palette();
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::Highlight),
              colours.color(QPalette::Active, QPalette::Highlight));
}

TEST_F(MainFrameTest, RepliesBecomeRowsByTheirIpText) {
    frame.OnDeviceReply(u"80503736<XNR><IP>192.168.1.40</IP></XNR>");
    frame.OnDeviceReply(u"80503736<XNR><Manufacture>A &amp; B</Manufacture>"
                        u"<IP>192.168.1.41</IP></XNR>");
    frame.OnDeviceReply(u"80503736<XNR><IP>192.168.1.40</IP><Model>other</Model></XNR>");
    frame.OnDeviceReply(u"80503736<NVR><IP>192.168.1.42</IP></NVR>");
    frame.OnDeviceReply(u"80503736<XNR><IP>192.168.1.43</IP>");
    frame.OnDeviceReply(u"80503736");
    ASSERT_EQ(test::RowCount(*List()), 2);
    EXPECT_EQ(test::CellText(*List(), 0, 1), "");
    EXPECT_EQ(test::CellText(*List(), 1, 0), "A & B");
}

TEST_F(MainFrameTest, PaneCloseButtonHidesTheTreeAndTreePaneShowsItAgain) {
    const int barBefore = Splitter()->sizes().value(0);
    QTest::mouseClick(Pane()->findChild<QToolButton*>("paneCloseButton"), Qt::LeftButton);
    EXPECT_TRUE(Pane()->isHidden());
    EXPECT_FALSE(Action("actionTreePane")->isChecked());
    EXPECT_EQ(List()->width(), Splitter()->width());

    Action("actionTreePane")->trigger();
    EXPECT_FALSE(Pane()->isHidden());
    EXPECT_TRUE(Action("actionTreePane")->isChecked());
    EXPECT_EQ(Splitter()->Proportion(), 4200);
    EXPECT_EQ(Splitter()->sizes().value(0), barBefore);
}

TEST_F(MainFrameTest, IgnoresAPaneCloseFromAnotherWindow) {
    QWidget stranger;
    frame.HandleCommand(kCommandPaneClose, &stranger);
    frame.HandleCommand(kCommandPaneClose, nullptr);
    EXPECT_FALSE(Pane()->isHidden());
    EXPECT_TRUE(Action("actionTreePane")->isChecked());
}

TEST_F(MainFrameTest, StatusBarToggleGivesItsSpaceToTheSplitter) {
    const int heightBefore = Splitter()->height();
    Action("actionStatusBar")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(frame.statusBar()->isHidden());
    EXPECT_FALSE(Action("actionStatusBar")->isChecked());
    EXPECT_GT(Splitter()->height(), heightBefore);

    Action("actionStatusBar")->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(frame.statusBar()->isHidden());
    EXPECT_TRUE(Action("actionStatusBar")->isChecked());
    EXPECT_EQ(Splitter()->height(), heightBefore);
}

TEST_F(MainFrameTest, SplitterStartsAtFortyTwoPercentAndKeepsItOnResize) {
    EXPECT_EQ(Splitter()->Proportion(), 4200);
    // 42% of the width beside the bar, rounded half away from zero: 586.32, 324.66, 418.32.
    for (const auto& [width, bar] : {std::pair{1400, 586}, {777, 325}, {1000, 418}}) {
        ResizeWithFourPixelBar(width);
        EXPECT_EQ(Splitter()->sizes().value(0), bar) << width;
    }
}

TEST_F(MainFrameTest, DraggingTheBarStoresANewShare) {
    ResizeWithFourPixelBar(1200);
    ProportionalSplitter* splitter = Splitter();
    ASSERT_EQ(splitter->sizes().value(0), 502); // 42% of 1196
    QSplitterHandle* handle = splitter->handle(1);
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    const QPoint start = handle->mapToGlobal(grip);
    const QPoint end = start - QPoint(150, 0);
    QMouseEvent press(QEvent::MouseButtonPress, grip, start, Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(handle, &press);
    QMouseEvent move(QEvent::MouseMove, grip - QPoint(150, 0), end, Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(handle, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, grip - QPoint(150, 0), end, Qt::LeftButton,
                        Qt::NoButton, {});
    QApplication::sendEvent(handle, &release);

    EXPECT_EQ(splitter->sizes().value(0), 352);
    EXPECT_EQ(splitter->Proportion(), 2943); // 352 of 1196, in hundredths of a percent

    ResizeWithFourPixelBar(1600);
    EXPECT_EQ(splitter->sizes().value(0), 470); // 29.43% of 1596 = 469.70
}

TEST_F(MainFrameTest, StatusBarIsBlankWhileAMenuIsOpen) {
    QMenu* view = frame.findChild<QMenu*>("viewMenu");
    view->popup(frame.mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(StatusText(), "");
    view->hide();
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(MainFrameTest, AboutRunsTheAboutBox) {
    QString caption;
    QTimer::singleShot(0, [&caption] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            caption = modal->windowTitle();
            modal->close();
        }
    });
    Action("actionAbout")->trigger();
    EXPECT_EQ(caption, "About");
}

// Keep Searching, its rounds 20 ms apart. A search plays its replies as the searcher holds
// them when it starts, so that the replies changed after one search reach the next.
class KeepSearchingTest : public MainFrameTest {
protected:
    KeepSearchingTest() { frame.SetSearchInterval(std::chrono::milliseconds(20)); }

    bool WaitForSearches(std::size_t count) {
        return QTest::qWaitFor([this, count] { return searcher.searches.size() >= count; }, 20000);
    }
    Searches SearchesFrom(std::size_t first) const {
        return {searcher.searches.begin() + static_cast<std::ptrdiff_t>(first),
                searcher.searches.end()};
    }
    QVariant Cell(int row, int role) const { return List()->model()->index(row, 0).data(role); }
    bool Greyed(int row) const {
        return Cell(row, Qt::ForegroundRole).value<QBrush>().color() ==
               QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text);
    }
};

TEST_F(KeepSearchingTest, RoundsRepeatUntilUncheckedAndStartAgainWithANewSearch) {
    QAction* keepSearching = Action("actionKeepSearching");
    keepSearching->trigger();
    EXPECT_TRUE(keepSearching->isChecked());
    EXPECT_TRUE(searcher.searches.empty()) << "nothing selected, nothing searched";
    PlayTwoRepliesSlowly();
    Click(Address(0, 0));
    EXPECT_EQ(StatusText(), "Searching from 192.168.1.20 every 0.02 s, round 1\u2026 0 devices");
    searcher.gap = std::chrono::milliseconds(5);
    ASSERT_TRUE(WaitForSearches(3));
    EXPECT_EQ(SearchesFrom(0), Searches(searcher.searches.size(), "192.168.1.20"));

    Tree()->setCurrentItem(Address(0, 1)); // selected with no event handled since
    EXPECT_EQ(test::RowCount(*List()), 0) << "a new selection starts from an empty list";
    const std::size_t selected = searcher.searches.size() - 1;
    ASSERT_TRUE(WaitForSearches(selected + 3));
    EXPECT_EQ(SearchesFrom(selected), Searches(searcher.searches.size() - selected, "10.0.0.5"));

    frame.HandleCommand(kCommandSearchAll, List());
    EXPECT_EQ(StatusText(),
              "Searching from 192.168.1.20 (1 of 2) every 0.02 s, round 1\u2026 0 devices");
    const std::size_t all = searcher.searches.size() - 1;
    ASSERT_TRUE(WaitForSearches(all + 4));
    EXPECT_EQ(SearchesFrom(all),
              (Searches{"192.168.1.20", "10.0.0.5", "192.168.1.20", "10.0.0.5"}));

    keepSearching->trigger();
    EXPECT_FALSE(keepSearching->isChecked());
    ASSERT_TRUE(FinishSearch());
    const std::size_t last = searcher.searches.size();
    QTest::qWait(200); // ten intervals
    EXPECT_EQ(searcher.searches.size(), last);
    EXPECT_EQ(StatusText(), "2 devices found from every address");
}

TEST_F(KeepSearchingTest, RowsStayAcrossRoundsChangeInPlaceAndGreyWhenNotHeard) {
    searcher.replies = {test::RecorderReply(u"Acme", u"N1", u"192.168.1.30", u"M1", u"80"),
                        test::RecorderReply(u"Acme", u"N2", u"192.168.1.31", u"M2", u"81")};
    Action("actionKeepSearching")->trigger();
    const QDateTime start = QDateTime::currentDateTime();
    Tree()->setCurrentItem(Address(0, 0)); // round 1 played, no later one started
    searcher.replies = {test::RecorderReply(u"Acme", u"N1b", u"192.168.1.30", u"M1", u"80")};
    ASSERT_TRUE(WaitForSearches(5)); // rounds 2 to 4 have ended without 192.168.1.31
    ASSERT_EQ(test::RowCount(*List()), 2);
    EXPECT_EQ(test::CellText(*List(), 0, DeviceListModel::kModel), "N1b");
    EXPECT_FALSE(Greyed(0));
    EXPECT_EQ(test::CellText(*List(), 1, DeviceListModel::kIpAddress), "192.168.1.31");
    EXPECT_TRUE(Greyed(1));
    // Last heard when round 1 ended: a second between the start and now, in local time.
    QStringList seconds;
    for (QDateTime second = start; second <= QDateTime::currentDateTime().addSecs(1);
         second = second.addSecs(1)) {
        seconds << QStringLiteral("<p>Not heard in the last 3 rounds, last seen %1</p>")
                       .arg(second.toString(QStringLiteral("HH:mm:ss")));
    }
    EXPECT_TRUE(seconds.contains(Cell(1, Qt::ToolTipRole).toString()))
        << Cell(1, Qt::ToolTipRole).toString().toStdString();
    EXPECT_FALSE(Cell(0, Qt::ToolTipRole).isValid());
    // Between rounds, the status bar counts the greyed rows.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] {
            return StatusText().contains(QStringLiteral("; 1 not heard in the last 3 rounds;"));
        },
        20000))
        << StatusText().toStdString();

    searcher.replies.push_back(test::RecorderReply(u"Acme", u"N2", u"192.168.1.31", u"M2", u"81"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !Greyed(1); }, 20000));
    EXPECT_FALSE(Cell(1, Qt::ToolTipRole).isValid());
    EXPECT_EQ(test::RowCount(*List()), 2);
}

class EmptyMainFrameTest : public MainFrameTest {
protected:
    EmptyMainFrameTest() : MainFrameTest({}) {}
};

TEST_F(EmptyMainFrameTest, HoldsTheRootAloneAndNeverSearches) {
    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Root()->childCount(), 0);
    Click(Root());
    frame.HandleCommand(kCommandRefresh, List());
    EXPECT_TRUE(searcher.searches.empty());
}

// Closed while a search runs (it would run for seconds): the loop ends at once, exit
// code 1, and the search is stopped.
TEST(MainFrameLoopTest, ClosingTheFrameEndsTheLoopWithExitCodeOneAndStopsTheSearch) {
    test::FakeAdapterSource adapters({{"eth0", {}, {test::Address("10.0.0.5")}}});
    test::RecordingSearcher searcher;
    searcher.replies = {test::RecorderReply(u"Acme", u"N1", u"10.0.0.9", u"M1", u"80")};
    searcher.gap = std::chrono::milliseconds(5000);
    test::RecordingOpener opener;
    CMessageLoop loop;
    ASSERT_TRUE(Module().AddMessageLoop(&loop));
    {
        CMainFrame frame(FrameServices{adapters, searcher, opener});
        ASSERT_TRUE(frame.CreateEx(QRect(0, 0, 1000, 500)));
        frame.show();
        QTimer::singleShot(0, &frame,
                           [&frame] { frame.HandleCommand(kCommandSearchAll, nullptr); });
        QTimer::singleShot(50, &frame, &QWidget::close);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(loop.Run(), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
        EXPECT_EQ(searcher.searches.size(), 1u);
        EXPECT_EQ(searcher.running, 0);
    }
    Module().RemoveMessageLoop();
}

} // namespace
} // namespace ferrow
