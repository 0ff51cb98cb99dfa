// The whole program on a small private LAN: the real frame lists the adapters of its own
// network namespace, and selecting its address finds the recorders and the ONVIF camera
// that ferrow-recorder plays in a peer namespace. Nothing here touches this machine's own
// interfaces.
#include "ChildProcess.h"
#include "FrameFakes.h"
#include "NetworkNamespace.h"
#include "ui/AdapterTree.h"
#include "ui/ApplicationEntry.h"
#include "ui/CFerrowView.h"
#include "ui/CMainFrame.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

constexpr const char* kLocalAddress = "10.66.0.1";
constexpr const char* kRecorderAddress = "10.66.0.2";
constexpr const char* kCameraAddress = "10.66.0.5";

QTreeWidgetItem* FindNode(QTreeWidgetItem* parent, const QString& text) {
    for (int index = 0; index < parent->childCount(); ++index) {
        if (parent->child(index)->text(0) == text) {
            return parent->child(index);
        }
    }
    return nullptr;
}

// Two recorders at once, the first of which also answers ONVIF's probe; a little later a
// third that answers twice, then one whose IP lies in another network; and last an ONVIF
// camera. All in peer.
std::vector<std::unique_ptr<test::ChildProcess>> StartDevices(const test::NetworkNamespace& peer,
                                                              std::string& error) {
    if (test::RunProgram(
            {"ip", "address", "add", std::string(kCameraAddress) + "/24", "dev", "eth0"}, &peer,
            &error) != 0) {
        return {};
    }
    std::vector<std::unique_ptr<test::ChildProcess>> recorders;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--address", kRecorderAddress, "--count", "2", "--manufacture",
                                   "Acme", "--model", "AV-8", "--http-port", "8080", "--onvif"},
          {"--address", kRecorderAddress, "--ip", "10.66.0.9", "--manufacture", "Orion", "--model",
           "OR-2", "--repeat", "2", "--gap", "50", "--delay", "300"},
          // Fresh from the box: it answers with a factory address of another network.
          {"--address", kRecorderAddress, "--ip", "192.168.7.20", "--manufacture", "Orion",
           "--model", "OR-4", "--http-port", "81", "--delay", "600"},
          {"--address", kCameraAddress, "--onvif-only", "--manufacture", "Lumen", "--model",
           "LX 200", "--onvif-delay", "1000"}}) {
        auto recorder = test::ChildProcess::StartRecorder(arguments, &peer, error);
        if (!recorder) {
            return {};
        }
        recorders.push_back(std::move(recorder));
    }
    return recorders;
}

// Each row's cells joined by '|'.
QStringList RowTexts(const CFerrowView& list) {
    QStringList rows;
    for (int row = 0; row < test::RowCount(list); ++row) {
        QStringList cells;
        for (int column = 0; column < DeviceListModel::kColumnCount; ++column) {
            cells << test::CellText(list, row, column);
        }
        rows << cells.join('|');
    }
    return rows;
}

// What the window exports is what ferrow-scan writes for the same recorders.
void ExpectExportsAsFerrowScanWrites([[maybe_unused]] CFerrowView& list) {
#ifdef FERROW_SCAN_PATH
    const QTemporaryDir folder;
    for (const char* format : {"csv", "json"}) {
        const QString path = folder.filePath(QStringLiteral("list.") + format);
        ASSERT_TRUE(list.ExportList(path));
        QFile exported(path);
        ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
        std::string scanned;
        ASSERT_EQ(test::RunProgram({FERROW_SCAN_PATH, "--from", kLocalAddress, "--format", format},
                                   nullptr, &scanned),
                  0);
        EXPECT_EQ(exported.readAll().toStdString(), scanned) << format;
    }
#endif
}

TEST(LanEndToEndTest, SelectingTheAddressListsEveryDeviceOnceInBothProtocols) {
    FERROW_ENTER_PRIVATE_NETWORK();
    std::string error;
    const auto peer = test::NetworkNamespace::Create(error);
    ASSERT_TRUE(peer) << error;
    test::VethOptions link("lan0", std::string(kLocalAddress) + "/24",
                           std::string(kRecorderAddress) + "/24");
    link.localMac = "02:66:00:00:00:01";
    link.peerMac = "02:66:00:00:00:02";
    ASSERT_TRUE(test::ConnectVeth(*peer, link, error)) << error;
    const auto recorders = StartDevices(*peer, error);
    ASSERT_FALSE(recorders.empty()) << error;

    const SystemAdapterSource adapters;
    NetworkAddressSearcher searcher;
    test::RecordingOpener opener;
    CMainFrame frame(FrameServices{adapters, searcher, opener});
    ASSERT_TRUE(frame.CreateEx(FrameRectangle({1280, 800})));
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    auto* tree = frame.findChild<AdapterTree*>("adapterTree");
    QTreeWidgetItem* adapter = FindNode(tree->topLevelItem(0), "lan0 (02:66:00:00:00:01)");
    ASSERT_NE(adapter, nullptr) << "the namespace's adapter is not in the tree";
    QTreeWidgetItem* address = FindNode(adapter, kLocalAddress);
    ASSERT_NE(address, nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(address).center());

    // The first rows show while the search runs on (its ONVIF half listens for 3 s at least,
    // and for a second after the camera's reply).
    auto* list = frame.findChild<CFerrowView*>("deviceList");
    const auto* status = frame.findChild<QLabel*>("statusText");
    ASSERT_TRUE(QTest::qWaitFor([list] { return test::RowCount(*list) > 0; }, 3000));
    EXPECT_TRUE(status->text().startsWith("Searching from 10.66.0.1"))
        << status->text().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([status] { return status->text().contains("found"); }, 40000));
    EXPECT_EQ(status->text(), "5 devices found from 10.66.0.1");
    EXPECT_EQ(RowTexts(*list),
              QStringList({"Acme|AV-8|10.66.0.2|02:66:00:00:00:02|8080|UDP 2900, ONVIF",
                           "Acme|AV-8|10.66.0.3|02:66:00:00:00:02|8080|UDP 2900",
                           "Orion|OR-2|10.66.0.9|02:66:00:00:00:02|80|UDP 2900",
                           "Orion|OR-4|192.168.7.20|02:66:00:00:00:02|81|UDP 2900",
                           "Lumen|LX 200|10.66.0.5|02:66:00:00:00:02|80|ONVIF"}));
    // Only the device of the other network is marked, by the adapter's /24.
    for (int row = 0; row < 5; ++row) {
        const QString tip = list->model()->index(row, 0).data(Qt::ToolTipRole).toString();
        EXPECT_EQ(tip.contains("192.168.7.0/24") && tip.contains("10.66.0.0/24"), row == 3)
            << row << ": " << tip.toStdString();
    }
    ExpectExportsAsFerrowScanWrites(*list);
}

} // namespace
} // namespace ferrow
