#include "sound/store.h"

#include <sys/stat.h>

#include "common/atomic_write.h"
#include "common/fileio.h"
#include "common/paths.h"

namespace sound {

bool base_directory_exists() {
  struct stat st;
  return ::stat(paths::kSoundBaseDir, &st) == 0 && S_ISDIR(st.st_mode);
}

bool load_descriptor_base(std::string& out) {
  return fileio::read_file(paths::kSoundDescriptors, out);
}

bool load_sound_list(std::string& out) { return fileio::read_file(paths::kSoundList, out); }

bool save_bases(const std::string& descriptors, const std::string& list, std::string& error) {
  return atomic_write::replace_files(
      {{paths::kSoundDescriptors, descriptors}, {paths::kSoundList, list}}, error);
}

}  // namespace sound
