#include "common/listing.h"

#include <string.h>

#include <algorithm>

#include "common/tokens.h"

namespace listing {

bool has_space(const std::string& name) {
  for (const char c : name)
    if (tokens::is_space(static_cast<unsigned char>(c))) return true;
  return false;
}

void sort_like_ls(std::vector<std::string>& names, locale_t collation) {
  std::sort(names.begin(), names.end(), [collation](const std::string& a, const std::string& b) {
    if (collation != nullptr) {
      const int c = ::strcoll_l(a.c_str(), b.c_str(), collation);
      if (c != 0) return c < 0;
    }
    return a < b;
  });
}

namespace {

bool ends_with(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Why entry `name` cannot be indexed; false when it can.
bool refused(store::Directory& dir, const std::string& name, Refusal* why) {
  why->name = name;
  if (has_space(name)) {
    why->why = Refusal::Why::kSpace;
    why->reason = "nom contenant un blanc, fichier ignoré";
    return true;
  }
  store::FileInfo info;
  if (!dir.Stat(name, store::Follow::kLinks, &info).ok()) {
    why->why = Refusal::Why::kUnreadable;
    why->reason = "fichier illisible, ignoré";
    return true;
  }
  if (info.type != store::FileInfo::Type::kRegular) {
    why->why = Refusal::Why::kNotRegular;
    why->reason = "pas un fichier ordinaire, ignoré";
    return true;
  }
  if (!dir.CheckInput(name).ok()) {
    why->why = Refusal::Why::kUnreadable;
    why->reason = "fichier illisible, ignoré";
    return true;
  }
  return false;
}

}  // namespace

Result list_corpus(const store::Store& store, const std::string& dir, const Options& options,
                   output::Sink& sink) {
  Result result;
  std::vector<std::string> names;
  if (!store.env().OpenDirectory(store.path(dir), &result.directory).ok() ||
      !result.directory->List(&names).ok()) {
    result.directory.reset();
    if (options.report) sink.report("impossible de lister le répertoire " + output::printable(dir));
    return result;
  }
  result.directory_opened = true;
  names.erase(std::remove_if(names.begin(), names.end(),
                             [&](const std::string& name) {
                               return name.empty() || name[0] == '.' || !ends_with(name, options.suffix);
                             }),
              names.end());
  sort_like_ls(names, store.collation());
  for (auto& name : names) {
    Refusal refusal;
    if (!refused(*result.directory, name, &refusal)) {
      result.names.push_back(std::move(name));
      continue;
    }
    if (options.report) sink.report(output::printable(dir + name) + " : " + refusal.reason);
    result.refused.push_back(std::move(refusal));
  }
  return result;
}

}  // namespace listing
