#pragma once

#include <QObject>
#include <optional>
#include <vector>

class QEvent;
class QEventLoop;

namespace ferrow {

// Offered each event of the loop before its receiver sees it; true consumes the event.
class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual bool PreTranslateMessage(QObject* receiver, QEvent* event) = 0;
};

// Called once in every idle period of the loop; the loop does not use the result.
class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    virtual bool OnIdle() = 0;
};

// The thread's message loop on top of Qt's event loop. Filters are asked newest first and
// the first that returns true consumes the event; idle handlers run in the order they were
// added, one pass each time the loop is about to wait after an event that counts (mouse
// moves, paints and timer ticks do not start a new idle period). Run() returns the exit
// code handed to Quit(). Filters and handlers are not owned: whoever adds one removes it
// before destroying it. Events of nested loops (modal dialogs) pass untouched.
class CMessageLoop : public QObject {
    Q_OBJECT

public:
    CMessageLoop();
    ~CMessageLoop() override;

    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Runs until Quit(); a Quit() that came before Run() ends the next Run() at once.
    int Run();
    void Quit(int exitCode);

protected:
    virtual bool PreTranslateMessage(QObject* receiver, QEvent* event);
    // Calls every idle handler once; true would ask for more idle calls, and it never does.
    virtual bool OnIdle(int idleCount);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static bool StartsIdlePeriod(const QEvent* event);
    bool IsOwnLevel() const;
    void RunIdlePhase();

    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
    QEventLoop* m_eventLoop = nullptr;
    int m_loopLevel = 0;
    bool m_idleEnabled = true;
    int m_idleCount = 0;
    std::optional<int> m_pendingQuit;
};

} // namespace ferrow
