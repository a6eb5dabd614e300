// Opening an image file: its whole content is read at once, and the parsing
// (image_file.h) works on the bytes.
#pragma once

#include <string>

namespace image {

// Reads the file at `path` into `bytes`. When it cannot be opened, prints the
// opening message on standard output and one line naming the file on
// standard error, and returns false.
bool lectureFichier(const std::string& path, std::string& bytes);

}  // namespace image
