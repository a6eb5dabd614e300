#include "common/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace parallel {

void for_each_index(size_t count, const std::function<void(size_t)>& job, unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  const size_t workers = std::min<size_t>(threads, count);
  if (workers <= 1) {
    for (size_t i = 0; i < count; ++i) job(i);
    return;
  }
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  auto run = [&] {
    try {
      for (size_t i = next++; i < count; i = next++) job(i);
    } catch (...) {
      // An exception must not leave a worker thread (that would terminate
      // the process): the first one is handed to the caller, and no other
      // job starts.
      next = count;
      const std::lock_guard<std::mutex> lock(failure_mutex);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  pool.reserve(workers - 1);
  for (size_t t = 1; t < workers; ++t) {
    // No thread to be had (a tight address-space limit, say): the threads
    // already started and this one do the work.
    try {
      pool.emplace_back(run);
    } catch (const std::system_error&) {
      break;
    }
  }
  run();
  for (auto& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace parallel
