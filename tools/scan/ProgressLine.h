#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace ferrow {

// One line of progress that rewrites itself in place; silent when not enabled.
class ProgressLine {
public:
    ProgressLine(std::ostream& out, bool enabled) : m_out(out), m_enabled(enabled) {}
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() { Clear(); }

    void Show(const std::string& text);
    // Wipes the line so that what follows starts on a clean line.
    void Clear();

private:
    void Overwrite(const std::string& text);

    std::ostream& m_out;
    bool m_enabled;
    std::size_t m_shownLength = 0;
};

} // namespace ferrow
