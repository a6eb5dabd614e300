#include "text/ranking/previous_index.h"

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
  if (!f.intact()) refuse("somme de contrôle fausse");

  // Stems in strictly increasing order: no stem twice, so no document
  // holds a stem twice. Term offsets within one description fit 32 bits.
  const uint64_t n = f.documents(), terms = f.terms();
  if (terms >= UINT32_MAX) refuse("trop de termes");
  p.hashes_.resize(terms);
  std::string_view last;
  uint64_t stem_bytes = 0;
  for (uint64_t r = 0; r < terms; ++r) {
    const std::string_view s = f.term(r);
    if (r > 0 && !(last < s)) refuse("termes dans le désordre");
    last = s;
    stem_bytes += s.size();
    p.hashes_[r] = hash_bytes(s);
  }
  if (stem_bytes >= UINT32_MAX) refuse("termes trop longs");

  // Postings per document counted, then placed: the count comes from the
  // lists themselves, never from a number in the file.
  std::vector<uint64_t>& begin = p.begin_;
  begin.assign(n + 1, 0);
  uint64_t index;
  uint32_t count;
  for (uint64_t r = 0; r < terms; ++r) {
    RankedFile::PostingReader reader(f, f.postings(r));
    while (reader.next(index, count)) ++begin[index + 1];
  }
  for (uint64_t i = 0; i < n; ++i) begin[i + 1] += begin[i];
  p.postings_.resize(begin[n]);
  std::vector<uint64_t> next(begin.begin(), begin.end() - 1);
  for (uint64_t r = 0; r < terms; ++r) {
    RankedFile::PostingReader reader(f, f.postings(r));
    while (reader.next(index, count)) p.postings_[next[index]++] = {static_cast<uint32_t>(r), count};
  }

  // Each length is the sum of the document's counts, as the describer
  // makes it (and short of the saturation the file would hide).
  for (uint64_t i = 0; i < n; ++i) {
    uint64_t length = 0;
    for (uint64_t k = begin[i]; k < begin[i + 1]; ++k) length += p.postings_[k].count;
    if (length >= UINT32_MAX || length != f.length(i)) refuse("longueur incohérente");
  }
  p.by_name_.reserve(n);
  for (uint64_t i = 0; i < n; ++i) p.by_name_.emplace(f.document(i).name, i);
  return p;
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
  if (index >= documents()) refuse("document hors de la table");
  out.terms.reserve(begin_[index + 1] - begin_[index]);
  for (uint64_t k = begin_[index]; k < begin_[index + 1]; ++k) {
    const Posting& p = postings_[k];
    const std::string_view s = file_.term(p.term);
    out.terms.push_back(
        {static_cast<uint32_t>(out.stems.size()), static_cast<uint32_t>(s.size()), p.count, hashes_[p.term]});
    out.stems.append(s);
    out.length += p.count;
  }
}

std::string_view PreviousIndex::words(uint64_t index) const { return file_.document(index).words; }

}  // namespace textrank
