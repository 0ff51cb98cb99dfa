#include "ui/ApplicationEntry.h"

#include "platform/AdapterSource.h"
#include "ui/AddressSearcher.h"
#include "ui/AppModule.h"
#include "ui/CMainFrame.h"
#include "ui/MessageLoop.h"
#include "ui/PlatformServices.h"
#include "ui/UrlOpener.h"

#include <QApplication>
#include <QScreen>

namespace ferrow {

QRect FrameRectangle(const QSize& screenSize) {
    const int left = (screenSize.width() - kFrameSize.width()) / 2;
    const int top = (screenSize.height() - kFrameSize.height()) / 2;
    return {QPoint(left, top), kFrameSize};
}

int RunApplication(const FrameFactory& makeFrame) {
    CMessageLoop loop;
    Module().AddMessageLoop(&loop);
    // The frame ends the loop itself when it is closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);

    int exitCode = 0;
    std::unique_ptr<CMainFrame> frame = makeFrame();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->size() : QSize();
    if (frame != nullptr && frame->CreateEx(FrameRectangle(screenSize))) {
        frame->show();
        exitCode = loop.Run();
    }

    Module().RemoveMessageLoop();
    frame.reset();
    return exitCode;
}

int RunEntry(char* programName, PlatformServices& platform, const std::function<int()>& run) {
    platform.StartSession();
    int result = 0;
    {
        int argumentCount = 1;
        char* arguments[] = {programName, nullptr};
        QApplication application(argumentCount, arguments);
        platform.StartSockets();
        result = run();
        platform.StopSockets();
    }
    platform.StopSession();
    return result;
}

int FerrowMain(int argc, char** argv) {
    static char fallbackName[] = "ferrow";
    char* programName = argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName;
    SystemPlatformServices platform;
    return RunEntry(programName, platform, [] {
        const SystemAdapterSource adapters;
        NetworkAddressSearcher searcher;
        DesktopUrlOpener opener;
        return RunApplication([&] {
            return std::make_unique<CMainFrame>(FrameServices{adapters, searcher, opener});
        });
    });
}

} // namespace ferrow
