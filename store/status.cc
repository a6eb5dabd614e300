#include "store/status.h"

#include <string.h>

namespace store {

Status Status::Error(std::string path, int code) {
  Status s;
  s.path_ = std::move(path);
  s.code_ = code;
  if (code == 0) s.reason_ = "unknown error";
  return s;
}

Status Status::Invalid(std::string path, std::string reason) {
  Status s;
  s.path_ = std::move(path);
  s.reason_ = reason.empty() ? "invalid" : std::move(reason);
  return s;
}

std::string Status::cause() const {
  if (!reason_.empty()) return reason_;
  if (code_ == 0) return "";
  // The English description whatever the locale, and safe across threads.
  const char* text = ::strerrordesc_np(code_);
  return text != nullptr ? text : "error " + std::to_string(code_);
}

std::string Status::ToString() const {
  if (ok()) return "";
  return path_ + " : " + cause();
}

}  // namespace store
