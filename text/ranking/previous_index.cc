#include "text/ranking/previous_index.h"

#include "common/parallel.h"
#include "text/ranking/bm25.h"
#include "text/ranking/ranked_file_format.h"
#include "text/ranking/string_table.h"
#include "text/ranking/verdict.h"

namespace textrank {

namespace {

[[noreturn]] void refuse(const char* reason) { throw FileError(reason); }

}  // namespace

PreviousIndex PreviousIndex::open(std::string_view bytes) {
  PreviousIndex p(RankedFile::open(bytes));
  const RankedFile& f = p.file_;
  if (f.k1() != kK1 || f.b() != kB || f.threshold() != kSourceThreshold || f.min_source_words() != kMinSourceWords ||
      f.flags() != format::kFlags)
    refuse("réglages différents");
  const uint64_t n = f.documents(), terms = f.terms();
  if (terms >= UINT32_MAX) refuse("trop de termes");

  // The checksum over the whole body on one thread while the other walks
  // the postings.
  bool intact = false;
  std::vector<uint64_t> lengths[kParts];
  parallel::for_each_index(kParts + 1, [&](size_t step) {
    if (step == 0) {
      intact = f.intact();
      return;
    }
    const size_t job = step - 1;
    // Counted from the lists themselves, never from a number in the file.
    std::vector<uint32_t>& held = p.held_[job];
    std::vector<uint64_t>& length = lengths[job];
    held.assign(n, 0);
    length.assign(n, 0);
    uint64_t index;
    uint32_t count;
    for (uint64_t r = terms * job / kParts; r < terms * (job + 1) / kParts; ++r) {
      RankedFile::PostingReader reader(f, f.postings(r));
      while (reader.next(index, count)) {
        ++held[index];
        length[index] += count;
      }
    }
  });
  if (!intact) refuse("somme de contrôle fausse");

  // Stems in strictly increasing order: no stem twice, so no document
  // holds a stem twice. Term offsets within one description fit 32 bits.
  p.stems_.resize(terms);
  std::string_view last;
  uint64_t stem_bytes = 0;
  for (uint64_t r = 0; r < terms; ++r) {
    const std::string_view s = f.term(r);
    if (r > 0 && !(last < s)) refuse("termes dans le désordre");
    last = s;
    stem_bytes += s.size();
    p.stems_[r] = {s, hash_bytes(s)};
  }
  if (stem_bytes >= UINT32_MAX) refuse("termes trop longs");

  // Each length is the sum of the document's counts, as the describer
  // makes it (and short of the saturation the file would hide).
  p.begin_.assign(n + 1, 0);
  for (uint64_t i = 0; i < n; ++i) {
    uint64_t length = 0;
    p.begin_[i + 1] = p.begin_[i];
    for (size_t k = 0; k < kParts; ++k) {
      length += lengths[k][i];
      p.begin_[i + 1] += p.held_[k][i];
    }
    if (length >= UINT32_MAX || length != f.length(i)) refuse("longueur incohérente");
  }
  p.by_name_.reserve(n);
  for (uint64_t i = 0; i < n; ++i) p.by_name_.emplace(f.document(i).name, i);
  return p;
}

void PreviousIndex::invert() {
  if (inverted_) return;
  const uint64_t n = documents(), terms = file_.terms();
  postings_.resize(begin_[n]);
  parallel::for_each_index(kParts, [&](size_t job) {
    // Each run of terms fills its own stretch of every document's postings.
    std::vector<uint64_t> next(n);
    for (uint64_t i = 0; i < n; ++i) {
      next[i] = begin_[i];
      for (size_t k = 0; k < job; ++k) next[i] += held_[k][i];
    }
    uint64_t index;
    uint32_t count;
    for (uint64_t r = terms * job / kParts; r < terms * (job + 1) / kParts; ++r) {
      RankedFile::PostingReader reader(file_, file_.postings(r));
      while (reader.next(index, count)) {
        // The same lists as open() walked, unless the file changed since.
        if (next[index] >= begin_[index + 1]) refuse("index changé depuis son ouverture");
        postings_[next[index]++] = {static_cast<uint32_t>(r), count};
      }
    }
  });
  inverted_ = true;
}

void PreviousIndex::forget_inversion() {
  std::vector<Posting>().swap(postings_);
  inverted_ = false;
}

std::optional<uint64_t> PreviousIndex::find(std::string_view name, const Digest& digest) const {
  const auto it = by_name_.find(name);
  if (it == by_name_.end() || file_.digest(it->second) != digest) return std::nullopt;
  return it->second;
}

void PreviousIndex::describe(uint64_t index, Description& out) const {
  out.stems.clear();
  out.terms.clear();
  out.words.clear();
  out.length = 0;
  if (!inverted_ || index >= documents()) refuse("index non inversé");
  out.terms.reserve(begin_[index + 1] - begin_[index]);
  for (uint64_t k = begin_[index]; k < begin_[index + 1]; ++k) {
    const Posting& p = postings_[k];
    const Stem& s = stems_[p.term];
    out.terms.push_back(
        {static_cast<uint32_t>(out.stems.size()), static_cast<uint32_t>(s.bytes.size()), p.count, s.hash});
    out.stems.append(s.bytes);
    out.length += p.count;
  }
}

std::string_view PreviousIndex::words(uint64_t index) const { return file_.document(index).words; }

}  // namespace textrank
