#include "tools/scan/ProgressLine.h"

#include <ostream>

namespace ferrow {

void ProgressLine::Show(const std::string& text) {
    if (m_enabled) {
        Overwrite(text);
    }
}

void ProgressLine::Clear() {
    if (m_enabled && m_shownLength != 0) {
        Overwrite({});
        m_out << '\r' << std::flush;
    }
}

void ProgressLine::Overwrite(const std::string& text) {
    // Carriage return and spaces instead of escape sequences: any console understands it.
    m_out << '\r' << text;
    if (text.size() < m_shownLength) {
        m_out << std::string(m_shownLength - text.size(), ' ');
    }
    m_out << std::flush;
    m_shownLength = text.size();
}

} // namespace ferrow
