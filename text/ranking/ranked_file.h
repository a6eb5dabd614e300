// Reading the text side's ranked index (ranked_file_format.h) in place, from
// a view over the whole file (a memory map). Only the header is checked up
// front; each entry, name, word list and postings list is checked against
// the file when it is used, so a query touches only what it needs. Any
// inconsistency throws FileError with a short reason.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "text/ranking/digest.h"
#include "text/ranking/ranked_file_format.h"

namespace textrank {

class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RankedFile {
 public:
  // Checks the magic, version, parameters and section table. The bytes must
  // outlive the object.
  static RankedFile open(std::string_view bytes);

  // Whether the header's checksum matches the rest of the file: reads it
  // all, so queries never ask.
  bool intact() const;
  // The bits of kFlag... the file was written with.
  uint32_t flags() const { return flags_; }

  double k1() const { return k1_; }
  double b() const { return b_; }
  double threshold() const { return threshold_; }
  uint32_t min_source_words() const { return min_words_; }
  uint64_t documents() const { return documents_; }
  double average_length() const { return average_length_; }
  uint64_t terms() const { return terms_; }

  struct Document {
    int64_t id;
    std::string_view name;
    std::string_view words;
  };
  // Document number `index` < documents().
  Document document(uint64_t index) const;
  uint64_t length(uint64_t index) const;
  Digest digest(uint64_t index) const;

  struct Postings {
    uint32_t holders;       // documents holding the stem, at least 1
    std::string_view list;  // its postings bytes
  };
  // The stem's postings, or nothing when no document holds it.
  std::optional<Postings> find(std::string_view stem) const;
  // The stem of rank `rank` < terms() in byte order, and its postings.
  std::string_view term(uint64_t rank) const;
  Postings postings(uint64_t rank) const;

  // Walks one postings list, checking every entry.
  class PostingReader {
   public:
    PostingReader(const RankedFile& file, Postings postings) : file_(file), p_(postings) {}
    // The next (document index, count); false past the last entry.
    bool next(uint64_t& index, uint32_t& count);

   private:
    const RankedFile& file_;
    Postings p_;
    size_t pos_ = 0;
    uint32_t read_ = 0;
    uint64_t last_ = 0;
  };

 private:
  RankedFile() = default;
  std::string_view section(format::Section s) const { return sections_[s]; }
  std::string_view term_bytes(uint64_t rank) const;
  Postings postings_at(uint64_t rank) const;

  std::string_view bytes_;
  std::array<std::string_view, format::kSections> sections_;
  double k1_ = 0, b_ = 0, threshold_ = 0, average_length_ = 0;
  uint32_t min_words_ = 0, flags_ = 0;
  uint64_t documents_ = 0, terms_ = 0;
};

}  // namespace textrank
