#pragma once

#include "discovery/SearchEnd.h"

#include <string>

namespace ferrow {

// Says why a search from localAddress did not run to its end and what to do about it;
// empty for a search that ended as searches do (quiet, or the time bound).
std::string ExplainSearchFailure(const std::string& localAddress, SearchEndReason reason);

} // namespace ferrow
