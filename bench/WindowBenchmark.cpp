// The live window on a private LAN (needs root), offscreen unless QT_QPA_PLATFORM says
// otherwise: how long a datagram takes to become a painted row, how long the window's
// event loop stalls while 5,000 recorders answer at once, and what adding 1,000 and 10,000
// rows to the list costs. Usage: bench_window [replies for the latency, default 200]
#include "ChildProcess.h"
#include "DatagramSender.h"
#include "NetworkNamespace.h"
#include "platform/AdapterSource.h"
#include "ui/AdapterTree.h"
#include "ui/AddressSearcher.h"
#include "ui/ApplicationEntry.h"
#include "ui/CFerrowView.h"
#include "ui/CMainFrame.h"
#include "ui/UrlOpener.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace ferrow;
using Clock = std::chrono::steady_clock;

constexpr const char* kLocal = "10.53.0.1";
constexpr const char* kPeer = "10.53.0.2";

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}

class NoBrowser final : public UrlOpener {
public:
    bool Open(const QUrl&) override { return false; }
};

// Rows as the viewport paints them: the time of the first paint after each row came.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(CFerrowView& list) : m_list(list) {
        list.viewport()->installEventFilter(this);
    }
    std::vector<Clock::time_point> painted; // per row, in row order

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            const auto now = Clock::now();
            painted.resize(static_cast<std::size_t>(m_list.DeviceCount()), now);
        }
        return false;
    }

private:
    CFerrowView& m_list;
};

void SelectAddress(CMainFrame& frame) {
    auto* tree = frame.findChild<AdapterTree*>("adapterTree");
    for (QTreeWidgetItemIterator node(tree); *node != nullptr; ++node) {
        if ((*node)->text(0) == kLocal) {
            tree->setCurrentItem(*node);
            return;
        }
    }
    std::fprintf(stderr, "the address %s is not in the tree\n", kLocal);
    std::exit(1);
}

void WaitForSearchEnd(const CMainFrame& frame) {
    const auto* status = frame.findChild<QLabel*>("statusText");
    if (!QTest::qWaitFor([status] { return status->text().contains("found"); }, 30000)) {
        std::fprintf(stderr, "the search did not end: %s\n", qPrintable(status->text()));
        std::exit(1);
    }
}

void MeasureLatency(CMainFrame& frame, const test::NetworkNamespace& peer, int replies) {
    std::string error;
    const auto sender = test::DatagramSender::Open(&peer, kPeer, error);
    if (!sender) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    auto* list = frame.findChild<CFerrowView*>("deviceList");
    SelectAddress(frame);
    QTest::qWait(100); // the probe's echo has come and gone
    PaintWatch watch(*list);
    const int firstRow = list->DeviceCount();
    std::vector<Clock::time_point> sent(static_cast<std::size_t>(replies));
    std::thread sending([&] {
        for (int i = 0; i < replies; ++i) {
            const std::string reply = "80503736<XNR><IP>10.53.9." + std::to_string(i) +
                                      "</IP><HttpPort>80</HttpPort></XNR>";
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            sent[static_cast<std::size_t>(i)] = Clock::now();
            sender->Broadcast(reply);
        }
    });
    WaitForSearchEnd(frame);
    sending.join();
    std::vector<double> latency;
    for (int i = 0; i < replies; ++i) {
        const auto row = static_cast<std::size_t>(firstRow + i);
        if (row < watch.painted.size()) {
            latency.push_back(Milliseconds(watch.painted[row] - sent[static_cast<std::size_t>(i)]));
        }
    }
    std::printf("datagram to painted row, %zu of %d replies: median %.2f ms, p95 %.2f ms, "
                "max %.2f ms\n",
                latency.size(), replies, Percentile(latency, 0.5), Percentile(latency, 0.95),
                Percentile(latency, 1.0));
}

void MeasureStall(CMainFrame& frame, const test::NetworkNamespace& peer) {
    std::string error;
    const auto recorder = test::ChildProcess::StartRecorder(
        {"--address", kPeer, "--count", "5000", "--ip", "10.53.100.0"}, &peer, error);
    if (!recorder) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    Clock::time_point last = Clock::now();
    double longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        longest = std::max(longest, Milliseconds(now - last));
        last = now;
    });
    ticks.start(1);
    frame.HandleCommand(32775, nullptr); // Refresh
    WaitForSearchEnd(frame);
    ticks.stop();
    std::printf("5,000 recorders at once: %d rows, longest event-loop stall %.2f ms\n",
                frame.findChild<CFerrowView*>("deviceList")->DeviceCount(), longest);
}

double MillisecondsToAdd(int rows) {
    NoBrowser opener;
    CFerrowView list(opener);
    list.resize(900, 500);
    list.show();
    std::vector<DeviceRow> batch;
    for (int i = 0; i < rows; ++i) {
        const std::string ip = "10.54." + std::to_string(i / 256) + "." + std::to_string(i % 256);
        batch.push_back(
            {{u"Acme", u"NVR-8", std::u16string(ip.begin(), ip.end()), u"00:11:22:33:44:55", u"80"},
             u"10.54.0.1"});
    }
    QElapsedTimer timer;
    timer.start();
    list.AddDeviceRows(std::move(batch));
    list.repaint();
    QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    const int replies = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    std::string error;
    const auto peer = test::EnterPrivateNetworkWithPeer(kLocal, kPeer, error);
    if (!peer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);

    const SystemAdapterSource adapters;
    NetworkAddressSearcher searcher;
    NoBrowser opener;
    CMainFrame frame(FrameServices{adapters, searcher, opener});
    if (!frame.CreateEx(FrameRectangle({1280, 800}))) {
        return 1;
    }
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame)) {
        return 1;
    }

    MeasureLatency(frame, *peer, replies);
    MeasureStall(frame, *peer);
    const double thousand = MillisecondsToAdd(1000);
    const double tenThousand = MillisecondsToAdd(10000);
    std::printf("adding rows in one batch, painted: 1,000 %.2f ms, 10,000 %.2f ms (%.1f x)\n",
                thousand, tenThousand, tenThousand / thousand);
    return 0;
}
