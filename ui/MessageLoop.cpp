#include "ui/MessageLoop.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <utility>

namespace ferrow {

namespace {

template <class T> void Remove(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

template <class T> bool Contains(const std::vector<T*>& list, T* item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

CMessageLoop::CMessageLoop() = default;

CMessageLoop::~CMessageLoop() = default;

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    m_filters.push_back(filter);
}

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    Remove(m_filters, filter);
}

void CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    m_idleHandlers.push_back(handler);
}

void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    Remove(m_idleHandlers, handler);
}

int CMessageLoop::Run() {
    if (m_pendingQuit) {
        return *std::exchange(m_pendingQuit, std::nullopt);
    }
    QEventLoop eventLoop;
    m_eventLoop = &eventLoop;
    m_loopLevel = QThread::currentThread()->loopLevel() + 1;
    m_idleEnabled = true;
    m_idleCount = 0;
    QCoreApplication::instance()->installEventFilter(this);
    const auto idleConnection =
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
                &CMessageLoop::RunIdlePhase);

    const int exitCode = eventLoop.exec();

    disconnect(idleConnection);
    QCoreApplication::instance()->removeEventFilter(this);
    m_eventLoop = nullptr;
    return exitCode;
}

void CMessageLoop::Quit(int exitCode) {
    if (m_eventLoop != nullptr) {
        m_eventLoop->exit(exitCode);
    } else {
        m_pendingQuit = exitCode;
    }
}

bool CMessageLoop::PreTranslateMessage(QObject* receiver, QEvent* event) {
    // Newest first; a filter may remove itself or another while it runs.
    const std::vector<CMessageFilter*> snapshot = m_filters;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if (Contains(m_filters, *it) && (*it)->PreTranslateMessage(receiver, event)) {
            return true;
        }
    }
    return false;
}

bool CMessageLoop::OnIdle(int /*idleCount*/) {
    const std::vector<CIdleHandler*> snapshot = m_idleHandlers;
    for (CIdleHandler* handler : snapshot) {
        if (Contains(m_idleHandlers, handler)) {
            handler->OnIdle();
        }
    }
    return false;
}

bool CMessageLoop::eventFilter(QObject* watched, QEvent* event) {
    if (!IsOwnLevel()) {
        return false;
    }
    const bool consumed = PreTranslateMessage(watched, event);
    if (StartsIdlePeriod(event)) {
        m_idleEnabled = true;
        m_idleCount = 0;
    }
    return consumed;
}

bool CMessageLoop::StartsIdlePeriod(const QEvent* event) {
    switch (event->type()) {
    // Pointer moves, paints and timer ticks come and go without ending an idle period.
    case QEvent::MouseMove:
    case QEvent::HoverMove:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::Timer:
    // Object bookkeeping is delivered inside other handlers, never by the loop itself.
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
    case QEvent::ParentAboutToChange:
    case QEvent::ParentChange:
    case QEvent::DynamicPropertyChange:
    case QEvent::ThreadChange:
        return false;
    default:
        return true;
    }
}

bool CMessageLoop::IsOwnLevel() const {
    return m_eventLoop != nullptr && QThread::currentThread()->loopLevel() == m_loopLevel;
}

void CMessageLoop::RunIdlePhase() {
    if (!IsOwnLevel()) {
        return;
    }
    if (m_idleEnabled && !OnIdle(m_idleCount++)) {
        m_idleEnabled = false;
    }
}

} // namespace ferrow
