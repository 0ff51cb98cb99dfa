#pragma once

#include <QSettings>
#include <QTemporaryDir>

namespace ferrow::test {

// While it lives, the window keeps its settings in a fresh folder of its own, not in the
// user's configuration, so that no test reads or writes the user's.
class IsolatedSettings {
public:
    IsolatedSettings() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    }

private:
    QTemporaryDir m_folder;
};

} // namespace ferrow::test
