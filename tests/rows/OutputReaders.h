#pragma once

// Readers of the written rows (ferrow-scan's output, the window's export) for the tests,
// written independently of the code that writes them.

#include <string>
#include <vector>

namespace ferrow::test {

// Lines of text without their line ends.
std::vector<std::string> SplitLines(const std::string& text);

// Records of RFC 4180 text: quoted fields may hold commas, doubled quotes and line
// breaks; every record ends with CRLF. Reports malformed text as a test failure.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text);

// Terminal columns that UTF-8 text takes, as the C library measures them (wcswidth) in a
// UTF-8 locale; -1 for text that is not valid UTF-8.
int LibcColumns(const std::string& utf8);

// Switches LC_CTYPE to a UTF-8 locale for LibcColumns while it lives; not available where
// the C library cannot measure columns (Windows).
class Utf8CharacterTypes {
public:
    Utf8CharacterTypes();
    Utf8CharacterTypes(const Utf8CharacterTypes&) = delete;
    Utf8CharacterTypes& operator=(const Utf8CharacterTypes&) = delete;
    ~Utf8CharacterTypes();
    bool Available() const { return m_available; }

private:
    std::string m_previous;
    bool m_available = false;
};

} // namespace ferrow::test
