// wordprobe: looks for the word "milliards" in the text descriptor base under
// the probe root fixed at build time, and prints where it stands and the
// token that follows it. No arguments, no input; exit status 0.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "wordprobe/probe.h"

#ifndef WORDPROBE_ROOT
#error "WORDPROBE_ROOT must name the probe root"
#endif

namespace {

const std::string kRoot = WORDPROBE_ROOT;
const std::string kBase = kRoot + "/EXTERN_FILES/database/base_texte/base_descripteur_texte.txt";
const std::string kScratch = kRoot + "/EXTERN_FILES/database/base_texte/temp.txt";

bool read_all(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      return n == 0;
    }
    out.append(buffer, static_cast<size_t>(n));
  }
}

// Returns 0, or the errno value of the failure.
int write_all(const std::string& path, const std::string& content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      ::close(fd);
      return error;
    }
    done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 ? 0 : errno;
}

}  // namespace

int main() {
  std::string base;
  if (!read_all(kBase, base)) return 0;  // no base: nothing to say

  const wordprobe::ProbeRun run = wordprobe::probe(base);
  // The scratch file keeps what the line-by-line extraction left in it; the
  // probe itself works from the base read above, so a failure here only
  // costs that file.
  if (const int error = write_all(kScratch, run.scratch); error != 0) {
    const std::string line =
        "wordprobe: impossible d'écrire " + kScratch + " : " + std::strerror(error) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
  }
  std::fwrite(run.out.data(), 1, run.out.size(), stdout);
  std::fflush(stdout);
  return 0;
}
