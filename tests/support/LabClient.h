#pragma once

// The Windows side of LabProtocol.h: a test program running under ferrow_test_lab asks the
// lab for what it cannot make itself (peer namespaces, veth links, senders and captures in
// them, recorders, a port held by another program).

#include <optional>
#include <string>
#include <vector>

namespace ferrow::test {

class NetworkNamespace;

namespace lab {

// Whether this program was started by the lab.
bool Available();

// Sends the request; the answer's words after "ok", or nothing with the reason in error.
std::optional<std::vector<std::string>> Call(const std::vector<std::string>& request,
                                             std::string& error);

// Like Call, for the requests that make an object: its number, or 0 with the reason.
int CallForId(const std::vector<std::string>& request, std::string& error);

// Ends an object the lab keeps for this program.
void Release(int id);

// The word that names ns in a request ("" for the program's own namespace).
std::string NamespaceWord(const NetworkNamespace* ns);

} // namespace lab
} // namespace ferrow::test
