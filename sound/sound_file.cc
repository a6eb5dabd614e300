#include "sound/sound_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "sound/describe.h"

namespace sound {

namespace {

// Small enough to stay in the core's cache between read and count.
constexpr size_t kChunk = 256 * 1024;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool getMatriceFromFile(const Bounds& bounds, int32_t echantillons, const std::string& path,
                        Matrix& out) {
  const Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  Describer describer(echantillons, bounds);
  if (S_ISREG(st.st_mode)) describer.reserve(static_cast<uint64_t>(st.st_size));
  const std::unique_ptr<char[]> buffer(new char[kChunk]);
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer.get(), kChunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    describer.feed(std::string_view(buffer.get(), static_cast<size_t>(n)));
  }
  out = describer.finish();
  return true;
}

}  // namespace sound
