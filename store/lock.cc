#include "store/lock.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include "store/commit.h"

namespace store {

namespace {

// Takes a lock, trying without blocking for half a second before telling
// the caller and waiting for good.
Status Take(Env& env, const std::string& dir, FileLock::Mode mode, const std::function<void()>& on_wait,
            bool* told, std::unique_ptr<FileLock>* lock) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  for (;;) {
    Status s = env.LockDirectory(dir, mode, /*wait=*/false, lock);
    if (s.ok() || s.code() != EWOULDBLOCK) return s;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (on_wait && !*told) on_wait();
  *told = true;
  return env.LockDirectory(dir, mode, /*wait=*/true, lock);
}

Status RecoverAll(Env& env, const std::vector<std::string>& dirs, bool only_check, bool* needed) {
  *needed = false;
  for (const std::string& path : dirs) {
    std::unique_ptr<Directory> dir;
    if (!env.OpenDirectory(path, &dir).ok()) continue;  // the request reports a missing base itself
    if (!NeedsRecovery(dir.get())) continue;
    *needed = true;
    if (only_check) return Status();
    Status s = Recover(dir.get());
    if (!s.ok()) return s;
  }
  return Status();
}

}  // namespace

Status LockStore(Env& env, const LockPlan& plan, FileLock::Mode mode, std::unique_ptr<FileLock>* lock) {
  bool told = false;
  std::unique_ptr<FileLock> turnstile;
  if (!plan.turnstile_dir.empty()) {
    // A writer holds the turnstile while it waits; readers pass through.
    if (!Take(env, plan.turnstile_dir, mode, plan.on_wait, &told, &turnstile).ok()) turnstile.reset();
  }
  Status s = Take(env, plan.lock_dir, mode, plan.on_wait, &told, lock);
  turnstile.reset();
  if (!s.ok()) return s;

  bool needed = false;
  if (mode == FileLock::Mode::kExclusive) return RecoverAll(env, plan.base_dirs, false, &needed);
  s = RecoverAll(env, plan.base_dirs, /*only_check=*/true, &needed);
  if (!s.ok() || !needed) return s;
  s = (*lock)->Change(FileLock::Mode::kExclusive);
  if (s.ok()) s = RecoverAll(env, plan.base_dirs, false, &needed);
  if (s.ok()) s = (*lock)->Change(FileLock::Mode::kShared);
  return s;
}

}  // namespace store
