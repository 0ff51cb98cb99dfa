#pragma once

#include <QRect>
#include <QSize>
#include <functional>
#include <memory>

namespace ferrow {

class CMainFrame;
class PlatformServices;

inline constexpr QSize kFrameSize(1000, 500);

// The main frame's rectangle on a screen of the given size: centred by integer division
// that truncates toward zero, and not clamped to the screen.
QRect FrameRectangle(const QSize& screenSize);

using FrameFactory = std::function<std::unique_ptr<CMainFrame>()>;

// Runs the program's one frame: registers a message loop for this thread, makes the frame
// centred on the primary screen, shows it and runs the loop. Returns the loop's exit code
// (1 when the frame was closed), or 0 when the frame cannot be created.
int RunApplication(const FrameFactory& makeFrame);

// The entry function: platform session, application object, sockets, run, and the same
// taken down in reverse order; returns the run's result. The command line is not read:
// the application object sees the program name alone.
int RunEntry(char* programName, PlatformServices& platform, const std::function<int()>& run);

// RunEntry with this platform's services and a frame on the real adapters, network and
// browser.
int FerrowMain(int argc, char** argv);

} // namespace ferrow
