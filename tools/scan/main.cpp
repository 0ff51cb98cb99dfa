// ferrow-scan: the window's search from a terminal, for scripts and headless machines.
#include "platform/SocketApi.h"
#include "platform/StandardStreams.h"
#include "tools/scan/ScanCommand.h"
#include "tools/scan/ScanOptions.h"

#include <clocale>
#include <iostream>

int main(int argc, char** argv) {
    // Narrow text from the platform and the network is read in the locale's character set.
    std::setlocale(LC_ALL, "");
    const ferrow::Utf8StdoutScope utf8Stdout = ferrow::PrepareStdoutForUtf8();
    const ferrow::ParsedArguments parsed =
        ferrow::ParseScanArguments(argc, argv, std::cout, std::cerr);
    if (!parsed.options) {
        return parsed.exitCode;
    }
    // Without the socket library every socket fails to open, which would read as an
    // address that is not local.
    const ferrow::socket_api::SocketLibraryScope socketLibrary;
    if (!socketLibrary.Started()) {
        std::cerr << "ferrow-scan: cannot start the socket library\n";
        return ferrow::kExitEndpoint;
    }
    const int exitCode =
        ferrow::RunScanCommand(*parsed.options, std::cout, std::cerr, ferrow::StderrIsTerminal());
    if (!std::cout.flush()) {
        std::cerr << "ferrow-scan: could not write the output\n";
        return ferrow::kExitOutput;
    }
    return exitCode;
}
