// Describing arbitrary bytes: the counts add up, the words come out in
// normal form, and a text of a few hundred words is its own verbatim
// source.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text/ranking/describe.h"
#include "common/utf8.h"
#include "text/ranking/verdict.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static textrank::Describer describer;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const textrank::Description d = describer.describe(bytes);
  uint64_t sum = 0;
  for (const textrank::Term& t : d.terms) {
    if (t.count == 0 || t.size == 0 || t.offset + t.size > d.stems.size()) __builtin_trap();
    sum += t.count;
  }
  if (sum != d.length) __builtin_trap();
  if (!utf8::valid(d.words)) __builtin_trap();
  if (!d.words.empty() && (d.words.front() == ' ' || d.words.back() == ' ')) __builtin_trap();
  const double s = textrank::verbatim_similarity(d.words, d.words);
  if (!(s >= 0 && s <= 1)) __builtin_trap();
  size_t words = d.words.empty() ? 0 : 1;
  for (const char c : d.words) words += c == ' ';
  if (words > 0 && words <= textrank::kMostComparedWords && s != 1.0) __builtin_trap();
  return 0;
}
