// The files of the page (HTML, CSS, JavaScript), built into the program from
// web/page/ so that it works offline and alone.
#pragma once

#include <string_view>

namespace web {

struct PageFile {
  std::string_view path;          // "/", "/app.js", ...
  std::string_view content_type;
  std::string_view bytes;
};

// The file served at `path`, or null.
const PageFile* FindPageFile(std::string_view path);

}  // namespace web
