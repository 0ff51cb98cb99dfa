#include "platform/StandardStreams.h"

#include <cstdio>
#include <unistd.h>

namespace ferrow {

bool StderrIsTerminal() {
    return ::isatty(::fileno(stderr)) != 0;
}

// POSIX streams carry bytes as they are written; the terminal decodes them itself.
Utf8StdoutScope PrepareStdoutForUtf8() {
    return Utf8StdoutScope(0);
}

Utf8StdoutScope::~Utf8StdoutScope() = default;

} // namespace ferrow
