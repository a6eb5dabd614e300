#include "image/image_io.h"

#include <cstdio>

#include "common/fileio.h"
#include "image/messages.h"

namespace image {

bool lectureFichier(const std::string& path, std::string& bytes) {
  if (fileio::read_file(path, bytes)) return true;
  std::fwrite(kMsgOuvertureFichier.data(), 1, kMsgOuvertureFichier.size(), stdout);
  fileio::report(fileio::printable(path) + " : image illisible");
  return false;
}

}  // namespace image
