// The store lock. Requests that change the store (indexation, and the
// comparisons, which write temporary files) hold it exclusively; ranked
// searches, which only read, share it. Before a request reads, the commits
// that a crash left unfinished are completed, under the exclusive lock.
//
// flock() gives no priority to a writer, so a steady stream of readers could
// keep an indexation waiting for ever. A second lock, the turnstile, is taken
// on the way in: a writer keeps it while it waits for the store lock, which
// holds new readers back until the writer is in.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/env.h"

namespace store {

struct LockPlan {
  std::string lock_dir;        // the directory locked for the request
  std::string turnstile_dir;   // "" for none; skipped when it cannot be opened
  std::vector<std::string> base_dirs;  // directories recovered before reading
  // Called once when the lock is not had within half a second.
  std::function<void()> on_wait;
};

// Takes the lock in `mode` and recovers the base directories (a shared
// request that finds something to recover takes the lock exclusively for
// that, then shares it). Fails when the lock directory cannot be opened or
// a recovery fails.
Status LockStore(Env& env, const LockPlan& plan, FileLock::Mode mode, std::unique_ptr<FileLock>* lock);

}  // namespace store
