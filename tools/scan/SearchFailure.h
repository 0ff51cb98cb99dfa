#pragma once

#include "discovery/CSearchXNRImpl.h"

#include <string>

namespace ferrow {

// Says why a search from localAddress could not run and what to do about it. For an
// endpoint that did not open it finds out which of the two binds is refused, by opening
// an endpoint that needs only the local address; nothing is sent.
std::string ExplainSearchFailure(const std::string& localAddress, SearchStart outcome);

} // namespace ferrow
