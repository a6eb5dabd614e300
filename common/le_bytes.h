// Little-endian numbers and LEB128 variable-length integers, written to and
// read from byte strings whatever the host's byte order: the layout of every
// ranked file.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace le {

inline void put64(char* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<char>(v >> (8 * i));
}
inline void put32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(v >> (8 * i));
}
inline void put_double(char* p, double v) { put64(p, std::bit_cast<uint64_t>(v)); }

// Appends the `bytes` low bytes of `v` (at most 8).
inline void append(std::string& out, uint64_t v, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

// The caller has checked that the bytes are there.
inline uint64_t get64(const char* p) {
  uint64_t v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  }
  return v;
}
inline uint32_t get32(const char* p) {
  uint32_t v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  }
  return v;
}
// A number of `bytes` bytes (at most 8).
inline uint64_t get(const char* p, size_t bytes) {
  uint64_t v = 0;
  for (size_t i = bytes; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}
inline double get_double(const char* p) { return std::bit_cast<double>(get64(p)); }

inline size_t varint_size(uint64_t v) {
  size_t n = 1;
  while (v >= 0x80) {
    v >>= 7;
    ++n;
  }
  return n;
}

// Writes `v` at `p`; returns the position past it.
inline char* put_varint(char* p, uint64_t v) {
  while (v >= 0x80) {
    *p++ = static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  *p++ = static_cast<char>(v);
  return p;
}

// Reads a varint from s[pos...]; false when it runs past `s` or past 64 bits.
inline bool get_varint(std::string_view s, size_t& pos, uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (pos >= s.size()) return false;
    const auto b = static_cast<unsigned char>(s[pos++]);
    const uint64_t bits = b & 0x7F;
    if (shift == 63 && bits > 1) return false;
    v |= bits << shift;
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

}  // namespace le
