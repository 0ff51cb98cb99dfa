#pragma once

#include "discovery/SearchEnd.h"

#include <string>

namespace ferrow {

// Says why a search from localAddress did not run to its end, as every front end says it,
// and what to do about it on a command line; empty for a search that ended as searches do.
std::string ExplainSearchFailure(const std::string& localAddress, const SearchEnd& end);

} // namespace ferrow
