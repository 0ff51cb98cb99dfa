#include "platform/StandardStreams.h"

#include <windows.h>
#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace ferrow {

namespace {

bool StdoutIsConsole() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

} // namespace

bool StderrIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

Utf8StdoutScope PrepareStdoutForUtf8() {
    // Text mode would turn the "\r\n" of a CSV row into "\r\r\n".
    ::_setmode(::_fileno(stdout), _O_BINARY);
    if (!StdoutIsConsole()) {
        return Utf8StdoutScope(0);
    }
    const UINT previous = ::GetConsoleOutputCP();
    if (previous == CP_UTF8 || previous == 0 || ::SetConsoleOutputCP(CP_UTF8) == 0) {
        return Utf8StdoutScope(0);
    }
    return Utf8StdoutScope(previous);
}

Utf8StdoutScope::~Utf8StdoutScope() {
    if (m_previousConsoleCodePage != 0) {
        // What is still buffered was written for the UTF-8 code page.
        std::fflush(stdout);
        ::SetConsoleOutputCP(m_previousConsoleCodePage);
    }
}

} // namespace ferrow
