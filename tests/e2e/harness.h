// End-to-end test layer: a temporary data store laid out as the engine
// expects (EXTERN_FILES with its corpora and base directories, INDEXATION,
// and a working directory "work" beside them), and runs of the built programs
// in it with their standard streams and exit status captured.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Store-relative directories.
inline constexpr const char* kTexts = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/";
inline constexpr const char* kRgb = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB/";
inline constexpr const char* kNb = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/";
inline constexpr const char* kSounds = "EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON/";
inline constexpr const char* kTextBase = "EXTERN_FILES/database/base_texte/";
inline constexpr const char* kImageBase = "EXTERN_FILES/database/base_image/";
inline constexpr const char* kSoundBase = "EXTERN_FILES/database/base_son/";
inline constexpr const char* kConfig = "EXTERN_FILES/configuration.config";

// The default configuration bytes.
extern const char kDefaultConfig[];

// A path of common/paths.h, which starts from the working directory
// ("../EXTERN_FILES/..."), made store-relative.
std::string inStore(std::string_view from_work);

struct Result {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or 128 + signal number
};

struct RunOptions {
  std::string stdin_data;             // fed on standard input (empty: /dev/null)
  std::vector<std::string> env;       // extra "KEY=VALUE" entries (PATH may be replaced)
  int timeout_seconds = 120;          // the child is killed past it
  std::string cwd;                    // store-relative; default "work"
  int kill_after_ms = -1;             // >= 0: SIGKILL the child after this delay
};

// A program started and not yet waited for.
struct Running {
  int pid = -1;
  std::string io_dir;  // holds the child's in/out/err files
  std::string program;
  RunOptions options;
};

// Paths of the built programs. When the environment variable E2E_WRAPPER is
// set (for instance "valgrind --error-exitcode=99 -q"), its blank-separated
// words are put in front of every run of these two programs.
std::string engine_binary();
std::string wordprobe_binary();

class Store {
 public:
  // Makes the whole tree; the configuration file is written with the default
  // content unless `with_config` is false.
  explicit Store(bool with_config = true);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  const std::string& root() const { return root_; }
  std::string path(std::string_view rel) const;

  // File helpers, store-relative; write makes missing parent directories.
  void write(std::string_view rel, std::string_view content) const;
  std::string read(std::string_view rel) const;  // ADD_FAILURE when missing
  bool exists(std::string_view rel) const;
  void remove(std::string_view rel) const;
  // Names in a store-relative directory, sorted by bytes.
  std::vector<std::string> list(std::string_view rel) const;

  // Runs engine with the given words from the working directory.
  Result engine(const std::vector<std::string>& args, const RunOptions& options = {}) const;
  // Runs any program from the working directory (or options.cwd).
  Result run(const std::string& program, const std::vector<std::string>& args,
             const RunOptions& options = {}) const;

  // The same in two steps, so that several programs can run at once.
  Running start(const std::string& program, const std::vector<std::string>& args,
                const RunOptions& options = {}) const;
  static Result finish(Running& running);

 private:
  std::string root_;
};

}  // namespace e2e
