#pragma once

// What the command-line programs need to know about, and set up on, their standard
// streams; the platform parts are in StandardStreamsPosix.cpp and StandardStreamsWindows.cpp.

namespace ferrow {

// True when stderr is a terminal (a person watching), false for pipes, files and jobs.
bool StderrIsTerminal();

// Undoes what PrepareStdoutForUtf8 changed when main's scope ends: flushes stdout and gives
// the console back the output code page it had. Holds nothing on POSIX.
class [[nodiscard]] Utf8StdoutScope {
public:
    explicit Utf8StdoutScope(unsigned previousConsoleCodePage)
        : m_previousConsoleCodePage(previousConsoleCodePage) {}
    Utf8StdoutScope(const Utf8StdoutScope&) = delete;
    Utf8StdoutScope& operator=(const Utf8StdoutScope&) = delete;
    ~Utf8StdoutScope();

    // True when the console's output code page was switched and goes back at the end.
    bool RestoresConsoleCodePage() const { return m_previousConsoleCodePage != 0; }

private:
    unsigned m_previousConsoleCodePage; // 0: the code page was not changed
};

// Called once at the start of a command-line program, before anything is written: the
// program writes UTF-8 bytes and its own line ends to stdout. On Windows stdout goes into
// binary mode (so "\r\n" stays "\r\n"), and a console is switched to the UTF-8 output code
// page until the returned scope ends; a pipe or file gets the bytes unchanged. On POSIX
// nothing needs doing.
Utf8StdoutScope PrepareStdoutForUtf8();

} // namespace ferrow
