// What an indexation may take from the ranked index it replaces: the
// description of each document unchanged since (same bare name, same bytes),
// rebuilt from the index instead of describing the document again.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/ranking/describe.h"
#include "text/ranking/digest.h"
#include "text/ranking/ranked_file.h"

namespace textrank {

class PreviousIndex {
 public:
  // Reads `bytes` (which must outlive the object) and walks every postings
  // list once. Throws FileError unless they are a ranked index of this
  // format written with this build's settings (BM25, stemmer, verdict,
  // flags), whose checksum matches and whose every entry is consistent: a
  // description taken from it is then the one the describer gave when it
  // was written.
  static PreviousIndex open(std::string_view bytes);

  uint64_t documents() const { return file_.documents(); }
  RankedFile::Document document(uint64_t index) const { return file_.document(index); }

  // The document named `name` whose bytes had `digest`, if there is one.
  std::optional<uint64_t> find(std::string_view name, const Digest& digest) const;

  // Turns the postings into each document's terms, once for all, before
  // describe(). Fails (FileError) only when the bytes changed since open().
  void invert();
  // Frees what invert() made, once the descriptions are taken.
  void forget_inversion();

  // Document `index` < documents(): its stems, counts and length (terms in
  // stem byte order; words left empty), and its words.
  void describe(uint64_t index, Description& out) const;
  std::string_view words(uint64_t index) const;

 private:
  explicit PreviousIndex(RankedFile file) : file_(file) {}

  struct Stem {
    std::string_view bytes;
    uint64_t hash;  // hash_bytes of them
  };
  struct Posting {
    uint32_t term;  // rank in the term table
    uint32_t count;
  };
  // Postings lists are walked in kParts runs of terms at once.
  static constexpr size_t kParts = 2;

  RankedFile file_;
  std::vector<Stem> stems_;                      // per term, in rank order
  std::vector<uint64_t> begin_;                  // per document: its first posting; one more at the end
  std::vector<uint32_t> held_[kParts];           // per document: postings in each run of terms
  std::vector<Posting> postings_;                // by document, then term rank
  bool inverted_ = false;
  std::unordered_map<std::string_view, uint64_t> by_name_;
};

}  // namespace textrank
