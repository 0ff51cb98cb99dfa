// The message loop adapter: the order in which filters and idle handlers are asked, the
// idle periods, the exit code, and the module's loop per thread.
#include "ui/MessageLoop.h"

#include "ui/AppModule.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ferrow {
namespace {

const QEvent::Type kProbeEvent = static_cast<QEvent::Type>(QEvent::User + 1);

// A receiver that counts the probe events that reach it.
class Receiver : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == kProbeEvent) {
            ++probes;
            return true;
        }
        return QObject::event(event);
    }
    int probes = 0;
};

class NamedFilter final : public CMessageFilter {
public:
    NamedFilter(std::string name, std::vector<std::string>& log, bool consumes)
        : m_name(std::move(name)), m_log(log), m_consumes(consumes) {}
    bool PreTranslateMessage(QObject*, QEvent* event) override {
        if (event->type() != kProbeEvent) {
            return false;
        }
        m_log.push_back(m_name);
        return m_consumes;
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    bool m_consumes;
};

// An idle handler that runs the next step of a script on each pass.
class ScriptedIdleHandler final : public CIdleHandler {
public:
    explicit ScriptedIdleHandler(std::vector<std::function<void()>> steps)
        : m_steps(std::move(steps)) {}
    bool OnIdle() override {
        if (passes < m_steps.size()) {
            m_steps[passes]();
        }
        ++passes;
        return true;
    }
    std::size_t passes = 0;

private:
    std::vector<std::function<void()>> m_steps;
};

class LoggingIdleHandler final : public CIdleHandler {
public:
    LoggingIdleHandler(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name)), m_log(log) {}
    bool OnIdle() override {
        m_log.push_back(m_name);
        return true;
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

void PostProbe(QObject* receiver) {
    QCoreApplication::postEvent(receiver, new QEvent(kProbeEvent));
}

TEST(MessageLoopTest, AsksFiltersNewestFirstUntilOneConsumes) {
    CMessageLoop loop;
    std::vector<std::string> log;
    NamedFilter first("first", log, false);
    NamedFilter second("second", log, true);
    NamedFilter third("third", log, false);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    loop.AddMessageFilter(&third);
    Receiver receiver;

    ScriptedIdleHandler script({[&] { PostProbe(&receiver); }, [&] { loop.Quit(0); }});
    loop.AddIdleHandler(&script);
    loop.Run();

    EXPECT_EQ(log, (std::vector<std::string>{"third", "second"}));
    EXPECT_EQ(receiver.probes, 0) << "a consumed event must not reach its receiver";
}

TEST(MessageLoopTest, PassesTheEventOnWhenNoFilterConsumesIt) {
    CMessageLoop loop;
    std::vector<std::string> log;
    NamedFilter first("first", log, false);
    NamedFilter removed("removed", log, true);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&removed);
    loop.RemoveMessageFilter(&removed);
    Receiver receiver;

    ScriptedIdleHandler script({[&] { PostProbe(&receiver); }, [&] { loop.Quit(0); }});
    loop.AddIdleHandler(&script);
    loop.Run();

    EXPECT_EQ(log, std::vector<std::string>{"first"});
    EXPECT_EQ(receiver.probes, 1);
}

TEST(MessageLoopTest, RunsIdleHandlersInRegistrationOrderOncePerIdlePeriod) {
    CMessageLoop loop;
    std::vector<std::string> log;
    LoggingIdleHandler a("a", log);
    LoggingIdleHandler b("b", log);
    Receiver receiver;
    ScriptedIdleHandler script({[&] { PostProbe(&receiver); }, [&] { loop.Quit(0); }});
    loop.AddIdleHandler(&a);
    loop.AddIdleHandler(&script);
    loop.AddIdleHandler(&b);

    loop.Run();

    // One pass at the start, one after the probe: each handler once per pass, although
    // every handler asked for more.
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "a", "b"}));
    EXPECT_EQ(script.passes, 2u);
}

TEST(MessageLoopTest, MouseMovesPaintsAndTimerTicksStartNoIdlePeriod) {
    CMessageLoop loop;
    Receiver receiver;
    QTimer tick;
    tick.setSingleShot(true);
    QTimer finish;
    finish.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        QCoreApplication::postEvent(&receiver, new QPaintEvent(QRect(0, 0, 1, 1)));
        QCoreApplication::postEvent(&receiver,
                                    new QMouseEvent(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1),
                                                    Qt::NoButton, Qt::NoButton, Qt::NoModifier));
        finish.start(30);
    });
    QObject::connect(&finish, &QTimer::timeout, [&] { loop.Quit(0); });
    ScriptedIdleHandler script({[&] { tick.start(10); }});
    loop.AddIdleHandler(&script);

    loop.Run();

    EXPECT_EQ(script.passes, 1u);
}

TEST(MessageLoopTest, ReturnsTheExitCodeOfTheQuitRequest) {
    CMessageLoop loop;
    ScriptedIdleHandler script({[&] { loop.Quit(7); }});
    loop.AddIdleHandler(&script);
    EXPECT_EQ(loop.Run(), 7);
}

TEST(MessageLoopTest, AQuitBeforeTheRunEndsItAtOnce) {
    CMessageLoop loop;
    ScriptedIdleHandler script({});
    loop.AddIdleHandler(&script);
    loop.Quit(3);
    EXPECT_EQ(loop.Run(), 3);
    EXPECT_EQ(script.passes, 0u);
}

// On its event, runs a loop of its own for a moment, as a modal dialog does, and posts a
// probe into that loop.
class NestingReceiver : public QObject {
public:
    explicit NestingReceiver(QObject* probeTarget) : m_probeTarget(probeTarget) {}
    bool event(QEvent* event) override {
        if (event->type() != kNestEvent) {
            return QObject::event(event);
        }
        QEventLoop nested;
        PostProbe(m_probeTarget);
        QTimer::singleShot(20, &nested, &QEventLoop::quit);
        nested.exec();
        return true;
    }
    static constexpr QEvent::Type kNestEvent = static_cast<QEvent::Type>(QEvent::User + 2);

private:
    QObject* m_probeTarget;
};

TEST(MessageLoopTest, LeavesTheEventsOfANestedLoopAlone) {
    CMessageLoop loop;
    std::vector<std::string> log;
    NamedFilter filter("filter", log, true);
    loop.AddMessageFilter(&filter);
    Receiver receiver;
    NestingReceiver nesting(&receiver);
    ScriptedIdleHandler script(
        {[&] { QCoreApplication::postEvent(&nesting, new QEvent(NestingReceiver::kNestEvent)); },
         [&] { loop.Quit(0); }});
    loop.AddIdleHandler(&script);

    loop.Run();

    EXPECT_TRUE(log.empty()) << "the nested loop's probe went to the filter";
    EXPECT_EQ(receiver.probes, 1);
    EXPECT_EQ(script.passes, 2u) << "an idle pass ran inside the nested loop";
}

TEST(AppModuleTest, KeepsOneLoopForTheThread) {
    CMessageLoop first;
    CMessageLoop second;
    ASSERT_EQ(Module().GetMessageLoop(), nullptr);
    EXPECT_TRUE(Module().AddMessageLoop(&first));
    EXPECT_FALSE(Module().AddMessageLoop(&second));
    EXPECT_EQ(Module().GetMessageLoop(), &first);
    EXPECT_TRUE(Module().RemoveMessageLoop());
    EXPECT_FALSE(Module().RemoveMessageLoop());
    EXPECT_EQ(Module().GetMessageLoop(), nullptr);
}

TEST(AppModuleTest, PostQuitMessageEndsTheThreadsLoop) {
    CMessageLoop loop;
    ASSERT_TRUE(Module().AddMessageLoop(&loop));
    ScriptedIdleHandler script({[] { PostQuitMessage(1); }});
    loop.AddIdleHandler(&script);
    EXPECT_EQ(loop.Run(), 1);
    Module().RemoveMessageLoop();

    PostQuitMessage(5); // no loop: nothing to end, nothing left pending
    EXPECT_EQ(Module().GetMessageLoop(), nullptr);
}

} // namespace
} // namespace ferrow
