#include "keyword/editor.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

extern char** environ;

namespace keyword {

namespace {

// Runs in the intermediate child: spawns the program and returns the errno
// value of the failure (0 on success), which becomes the child's exit status.
int spawn_detached(const std::string& program, const std::string& argument) {
  ::signal(SIGINT, SIG_IGN);
  ::signal(SIGQUIT, SIG_IGN);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return ENOMEM;
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return ENOMEM;
  }
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

  std::string name = program, arg = argument;
  char* argv[] = {name.data(), arg.data(), nullptr};
  pid_t pid;
  const int error = posix_spawnp(&pid, name.c_str(), &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return error;
}

}  // namespace

int start_in_background(const std::string& program, const std::string& argument) {
  std::fflush(nullptr);  // nothing buffered may be written twice by the child
  const pid_t child = ::fork();
  if (child < 0) return errno;
  if (child == 0) {
    const int error = spawn_detached(program, argument);
    ::_exit(error > 0 && error < 256 ? error : (error == 0 ? 0 : EINVAL));
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno == ECHILD) return 0;  // reaped elsewhere (SIGCHLD ignored): assume started
    if (errno != EINTR) return errno;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return EINTR;  // the intermediate child was killed before it could tell
}

}  // namespace keyword
