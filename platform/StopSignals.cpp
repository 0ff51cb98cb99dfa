#include "platform/StopSignals.h"

#include <algorithm>

namespace ferrow {

bool StopSignals::WaitUntil(std::chrono::steady_clock::time_point until) const {
    using namespace std::chrono;
    while (!Requested()) {
        const auto left = ceil<milliseconds>(until - steady_clock::now());
        if (left <= milliseconds::zero()) {
            break;
        }
        // Bounded so that a very long wait fits the platform's int or DWORD of milliseconds.
        WaitForRequest(std::min<milliseconds>(left, minutes(1)));
    }
    return Requested();
}

} // namespace ferrow
