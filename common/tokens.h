// White-space token scanning over bytes. White space is the six bytes of C's
// isspace in the C locale; every other byte, 0x80 and above included, belongs
// to a token. Tokens have no length limit.
#pragma once

#include <cstddef>
#include <string_view>

namespace tokens {

inline bool is_space(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Walks the tokens of a byte buffer that the caller keeps alive.
class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}

  // Stores the next token in `out` and returns true, or returns false at the
  // end of the data.
  bool next(std::string_view& out) {
    size_t i = pos_;
    const size_t n = data_.size();
    while (i < n && is_space(static_cast<unsigned char>(data_[i]))) ++i;
    if (i == n) {
      pos_ = n;
      return false;
    }
    size_t j = i;
    while (j < n && !is_space(static_cast<unsigned char>(data_[j]))) ++j;
    out = data_.substr(i, j - i);
    pos_ = j;
    return true;
  }

  // Byte offset just past the last token returned.
  size_t position() const { return pos_; }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

}  // namespace tokens
