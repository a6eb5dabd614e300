#include "text/ranking/describe.h"

#include <cstring>

#include "text/ranking/plain_text.h"
#include "text/ranking/stop_words.h"
#include "text/ranking/words.h"

namespace textrank {

namespace {

// The cache is emptied between documents past these sizes.
constexpr size_t kMostCachedForms = size_t{1} << 20;
constexpr size_t kMostCachedBytes = size_t{48} << 20;

// Copies n bytes to `to`, which has at least 16 bytes of room past n, in a
// few word-sized moves.
inline char* put(char* to, std::string_view from) {
  const char* p = from.data();
  const size_t n = from.size();
  if (n >= 8 && n <= 16) {
    std::memcpy(to, p, 8);
    std::memcpy(to + n - 8, p + n - 8, 8);
  } else if (n >= 4 && n < 8) {
    std::memcpy(to, p, 4);
    std::memcpy(to + n - 4, p + n - 4, 4);
  } else {
    for (size_t i = 0; i < n; ++i) to[i] = p[i];
  }
  return to + n;
}

}  // namespace

Description Describer::describe(std::string_view bytes) {
  Description d;
  describe(bytes, d);
  return d;
}

// Lower-cases, folds and stems one word; appends its folded form to
// `folded_out` and returns its stem number, or kStop.
uint32_t Describer::work_out(std::string_view word, std::string& folded_out) {
  lower_.clear();
  append_lower_word(lower_, word);
  const size_t start = folded_out.size();
  append_folded_word(folded_out, lower_);
  if (folded_out.size() == start) return kNothing;  // only combining accents
  if (is_stop_word(std::string_view(folded_out).substr(start))) return kStop;
  scratch_.clear();
  append_folded_word(scratch_, stemmer_.stem(lower_));
  if (scratch_.empty()) return kStop;
  bool inserted;
  const uint32_t id = stems_.intern(scratch_, hash_bytes(scratch_), &inserted);
  if (inserted) counts_.push_back(0);
  return id;
}

void Describer::forget_when_large() {
  if (forms_.size() < kMostCachedForms && forms_.bytes() + stems_.footprint() < kMostCachedBytes) return;
  forms_.clear();
  stems_.clear();
  counts_.clear();
}

void Describer::describe(std::string_view bytes, Description& out) {
  out.stems.clear();
  out.terms.clear();
  out.length = 0;
  out.words.clear();
  // Counts left by a call cut short by an exception.
  for (const uint32_t stem : seen_) counts_[stem] = 0;
  seen_.clear();
  forget_when_large();
  plain_text(bytes, plain_);

  const auto count = [&](uint32_t stem) {
    if (stem == kStop || stem == kNothing) return;
    ++out.length;
    uint32_t& c = counts_[stem];
    if (c == 0) seen_.push_back(stem);
    if (c != UINT32_MAX) ++c;
  };

  // Folded words are never longer than the words they come from, and each
  // takes its blank from the byte that ended it, so the words fit in the
  // plain text's size plus one (and 16 bytes of room for put()).
  out.words.resize(plain_.size() + 1 + 16);
  char* w = out.words.data();
  for_each_word(plain_, [&](std::string_view word) {
    if (word.size() > FormCache::kLongestForm) {
      folded_.clear();
      const uint32_t stem = work_out(word, folded_);
      if (stem == kNothing) return;
      std::memcpy(w, folded_.data(), folded_.size());
      w += folded_.size();
      *w++ = ' ';
      count(stem);
      return;
    }
    const ShortKey key(word);
    const uint64_t hash = word.size() <= kShortKey ? hash_short(key, word.size()) : hash_bytes(word);
    FormCache::Value v;
    if (!forms_.find(word, key, hash, v)) {
      folded_.clear();
      v.stem = work_out(word, folded_);
      v.folded_size = static_cast<uint32_t>(folded_.size());
      v.folded_offset = folded_ == word ? FormCache::kSameAsForm : forms_.add_folded(folded_);
      forms_.insert(word, hash, v);
    }
    if (v.stem == kNothing) return;
    const std::string_view f = v.folded_offset == FormCache::kSameAsForm ? word : forms_.folded(v);
    w = put(w, f);
    *w++ = ' ';
    count(v.stem);
  });
  out.words.resize(static_cast<size_t>(w - out.words.data()));
  if (!out.words.empty()) out.words.pop_back();

  out.terms.reserve(seen_.size());
  for (const uint32_t stem : seen_) {
    const std::string_view s = stems_.at(stem);
    out.terms.push_back(
        {static_cast<uint32_t>(out.stems.size()), static_cast<uint32_t>(s.size()), counts_[stem], stems_.hash(stem)});
    out.stems.append(s);
    counts_[stem] = 0;
  }
  seen_.clear();
}

}  // namespace textrank
