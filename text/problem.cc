#include "text/problem.h"

#include "common/output.h"

namespace text {

std::string layoutPath(const store::Store& store, std::string_view path) {
  const std::string& workdir = store.workdir();
  if (workdir.empty()) return std::string(path);
  std::string prefix = workdir;
  if (prefix.back() != '/') prefix += '/';
  if (path.substr(0, prefix.size()) == prefix) path.remove_prefix(prefix.size());
  return std::string(path);
}

std::string problem(std::string_view what, std::string_view layout_path, const store::Status& s) {
  std::string line(what);
  line += output::printable(layout_path);
  line += " : ";
  line += s.cause();
  return line;
}

std::string problem(const store::Store& store, std::string_view what, const store::Status& s) {
  return problem(what, layoutPath(store, s.path()), s);
}

}  // namespace text
