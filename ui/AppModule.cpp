#include "ui/AppModule.h"

#include "ui/MessageLoop.h"

namespace ferrow {

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    const std::lock_guard lock(m_mutex);
    return m_loops.try_emplace(std::this_thread::get_id(), loop).second;
}

bool CAppModule::RemoveMessageLoop() {
    const std::lock_guard lock(m_mutex);
    return m_loops.erase(std::this_thread::get_id()) == 1;
}

CMessageLoop* CAppModule::GetMessageLoop() const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_loops.find(std::this_thread::get_id());
    return found == m_loops.end() ? nullptr : found->second;
}

CAppModule& Module() {
    static CAppModule module;
    return module;
}

void PostQuitMessage(int exitCode) {
    if (CMessageLoop* loop = Module().GetMessageLoop()) {
        loop->Quit(exitCode);
    }
}

} // namespace ferrow
