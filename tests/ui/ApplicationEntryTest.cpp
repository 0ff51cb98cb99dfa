// The entry function and the run of the frame. This suite makes its own application
// object, so it has a main of its own (GoogleTest's) and no QApplication of the runner.
#include "ui/ApplicationEntry.h"

#include "FrameFakes.h"
#include "IsolatedSettings.h"
#include "ui/AppModule.h"
#include "ui/CMainFrame.h"
#include "ui/PlatformServices.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ferrow {
namespace {

class RecordingPlatform final : public PlatformServices {
public:
    void StartSession() override { Log("start session"); }
    void StartSockets() override { Log("start sockets"); }
    void StopSockets() override { Log("stop sockets"); }
    void StopSession() override { Log("stop session"); }

    void Log(const std::string& step) {
        steps.push_back(step + (QCoreApplication::instance() != nullptr ? " (app)" : ""));
    }

    std::vector<std::string> steps;
};

class EntryTest : public ::testing::Test {
protected:
    EntryTest() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }

    // Runs the entry function with a frame on fakes; `whenShown` runs once the loop runs.
    int RunFrame(const std::function<void(CMainFrame&)>& whenShown) {
        return RunEntry(programName, platform, [&] {
            return RunApplication([&]() -> std::unique_ptr<CMainFrame> {
                auto frame =
                    std::make_unique<CMainFrame>(FrameServices{adapters, searcher, opener});
                QTimer::singleShot(0, frame.get(),
                                   [&frame = *frame, whenShown] { whenShown(frame); });
                return frame;
            });
        });
    }

    const test::IsolatedSettings settings;
    char programName[16] = "ferrow";
    RecordingPlatform platform;
    test::FakeAdapterSource adapters;
    test::RecordingSearcher searcher;
    test::RecordingOpener opener;
};

TEST_F(EntryTest, BringsServicesUpAndDownAroundTheRunInOrder) {
    const int result = RunEntry(programName, platform, [this] {
        platform.Log("run");
        return 42;
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(platform.steps,
              (std::vector<std::string>{"start session", "start sockets (app)", "run (app)",
                                        "stop sockets (app)", "stop session"}));
}

TEST_F(EntryTest, GivesTheApplicationTheProgramNameAlone) {
    QStringList arguments;
    RunEntry(programName, platform, [&arguments] {
        arguments = QCoreApplication::arguments();
        return 0;
    });
    EXPECT_EQ(arguments, QStringList{"ferrow"});
}

TEST_F(EntryTest, ClosingTheFrameEndsTheProgramWithExitCodeOne) {
    bool visible = false;
    const int result = RunFrame([&](CMainFrame& frame) {
        visible = frame.isVisible();
        frame.close();
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(visible);
    EXPECT_EQ(Module().GetMessageLoop(), nullptr) << "the loop is still registered";
}

TEST_F(EntryTest, CentresTheFrameOnThePrimaryScreenWithoutClamping) {
    QRect placed;
    QSize screen;
    RunFrame([&](CMainFrame& frame) {
        placed = QRect(frame.pos(), frame.size());
        screen = QGuiApplication::primaryScreen()->size();
        frame.close();
    });
    ASSERT_TRUE(screen.isValid());
    EXPECT_EQ(placed, FrameRectangle(screen));
    EXPECT_EQ(placed.size(), QSize(1000, 500));
}

// A frame whose window cannot be made; it notes whether it was ever shown.
class FailingFrame final : public CMainFrame {
public:
    FailingFrame(const FrameServices& services, bool& shown)
        : CMainFrame(services), m_shown(shown) {}
    bool CreateEx(const QRect&) override { return false; }

protected:
    void showEvent(QShowEvent*) override { m_shown = true; }

private:
    bool& m_shown;
};

TEST_F(EntryTest, EndsWithZeroWhenTheFrameCannotBeCreated) {
    bool shown = false;
    const int result = RunEntry(programName, platform, [&] {
        return RunApplication([&] {
            return std::make_unique<FailingFrame>(FrameServices{adapters, searcher, opener}, shown);
        });
    });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(shown);
    EXPECT_EQ(Module().GetMessageLoop(), nullptr);
}

} // namespace
} // namespace ferrow
