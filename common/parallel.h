// Runs independent jobs on every core. Jobs write their results into slots
// chosen by index, so whatever the thread count the caller sees the results
// in index order.
#pragma once

#include <cstddef>
#include <functional>

namespace parallel {

// Calls job(i) once for each i in [0, count), on up to `threads` threads
// (0: one per core). Returns when every call has returned. When a call
// throws, no further call starts and the first exception is rethrown here.
void for_each_index(size_t count, const std::function<void(size_t)>& job, unsigned threads = 0);

}  // namespace parallel
