#include "text/ranking/ranked_file_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "text/ranking/bm25.h"
#include "text/ranking/le_bytes.h"
#include "text/ranking/ranked_file_format.h"
#include "text/ranking/stemmer.h"
#include "text/ranking/string_table.h"
#include "text/ranking/verdict.h"

namespace textrank {

namespace {

using namespace format;

void put_name(char* p, std::string_view name) {
  std::memset(p, 0, kNameFieldSize);
  std::memcpy(p, name.data(), std::min(name.size(), kNameFieldSize - 1));
}

}  // namespace

std::string build_ranked_file(std::span<const IndexedDocument> documents) {
  const size_t n = documents.size();
  if (n >= UINT32_MAX) throw std::length_error("too many documents for a ranked index");

  // Every stem gets a number; each document's terms are kept as numbers, and
  // each stem's postings size is counted on the way.
  struct Stem {
    uint64_t posting_bytes = 0;
    uint32_t holders = 0;
    uint32_t last = 0;  // the last document holding it
  };
  StringTable stems;
  std::vector<Stem> info;
  std::vector<uint32_t> term_numbers;
  uint64_t total_length = 0;
  size_t postings_count = 0;
  for (const IndexedDocument& d : documents) postings_count += d.description->terms.size();
  term_numbers.reserve(postings_count);
  for (size_t i = 0; i < n; ++i) {
    const Description& d = *documents[i].description;
    total_length += d.length;
    for (const Term& t : d.terms) {
      bool inserted;
      const uint32_t k = stems.intern(d.stem(t), t.hash, &inserted);
      if (inserted) info.emplace_back();
      Stem& st = info[k];
      const uint64_t gap = st.holders == 0 ? i : i - st.last;
      st.posting_bytes += le::varint_size(gap) + le::varint_size(t.count);
      ++st.holders;
      st.last = static_cast<uint32_t>(i);
      term_numbers.push_back(k);
    }
  }
  const size_t terms = stems.size();
  std::vector<uint32_t> order(terms);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return stems.at(a) < stems.at(b); });

  // Section sizes, then one buffer for the whole file.
  std::array<uint64_t, kSections> size{};
  size[kLengths] = 4 * n;
  size[kDocuments] = kDocumentEntrySize * n;
  size[kTermTable] = kTermEntrySize * terms;
  size[kTermBytes] = stems.bytes();
  for (const IndexedDocument& d : documents) {
    size[kNames] += d.name.size();
    size[kWords] += d.description->words.size();
  }
  for (const Stem& st : info) size[kPostings] += st.posting_bytes;
  std::array<uint64_t, kSections> at{};
  uint64_t end = kHeaderSize;
  for (size_t s = 0; s < kSections; ++s) {
    at[s] = end;
    end += size[s];
  }
  std::string file(end, '\0');
  char* const base = file.data();

  std::memcpy(base, kMagic, sizeof kMagic);
  le::put32(base + kVersionAt, kVersion);
  le::put32(base + kHeaderSizeAt, kHeaderSize);
  le::put_double(base + kK1At, kK1);
  le::put_double(base + kBAt, kB);
  put_name(base + kLanguageAt, kStemmerLanguage);
  put_name(base + kEncodingAt, kStemmerEncoding);
  le::put_double(base + kThresholdAt, kSourceThreshold);
  le::put32(base + kMinWordsAt, kMinSourceWords);
  le::put32(base + kFlagsAt, kFlagStopWordsDropped | kFlagFoldedAfterStemming | kFlagMarksAndEntities);
  le::put64(base + kDocumentsAt, n);
  le::put64(base + kTotalLengthAt, total_length);
  le::put_double(base + kAverageLengthAt, n == 0 ? 0.0 : static_cast<double>(total_length) / static_cast<double>(n));
  le::put64(base + kTermsAt, terms);
  for (size_t s = 0; s < kSections; ++s) {
    le::put64(base + kSectionsAt + 16 * s, at[s]);
    le::put64(base + kSectionsAt + 16 * s + 8, size[s]);
  }

  // Documents: lengths, entries, names, words.
  uint64_t name_at = 0, words_at = 0;
  for (size_t i = 0; i < n; ++i) {
    const IndexedDocument& d = documents[i];
    const std::string& words = d.description->words;
    le::put32(base + at[kLengths] + 4 * i,
              static_cast<uint32_t>(std::min<uint64_t>(d.description->length, UINT32_MAX)));
    char* e = base + at[kDocuments] + kDocumentEntrySize * i;
    le::put64(e, static_cast<uint64_t>(d.id));
    le::put64(e + 8, name_at);
    le::put64(e + 16, d.name.size());
    le::put64(e + 24, words_at);
    le::put64(e + 32, words.size());
    std::memcpy(base + at[kNames] + name_at, d.name.data(), d.name.size());
    std::memcpy(base + at[kWords] + words_at, words.data(), words.size());
    name_at += d.name.size();
    words_at += words.size();
  }

  // Terms in byte order, each with where its postings go.
  std::vector<uint64_t> cursor(terms);
  uint64_t bytes_at = 0, postings_at = 0;
  for (size_t r = 0; r < terms; ++r) {
    const uint32_t k = order[r];
    const std::string_view s = stems.at(k);
    char* e = base + at[kTermTable] + kTermEntrySize * r;
    le::put64(e, bytes_at);
    le::put32(e + 8, static_cast<uint32_t>(s.size()));
    le::put32(e + 12, info[k].holders);
    le::put64(e + 16, postings_at);
    le::put64(e + 24, info[k].posting_bytes);
    std::memcpy(base + at[kTermBytes] + bytes_at, s.data(), s.size());
    cursor[k] = at[kPostings] + postings_at;
    bytes_at += s.size();
    postings_at += info[k].posting_bytes;
  }

  // Postings, document by document, so each stem's list is in index order.
  std::vector<uint32_t> next_gap_from(terms, UINT32_MAX);  // none yet
  size_t next = 0;
  for (size_t i = 0; i < n; ++i) {
    for (const Term& t : documents[i].description->terms) {
      const uint32_t k = term_numbers[next++];
      char* p = base + cursor[k];
      const uint32_t last = next_gap_from[k];
      p = le::put_varint(p, last == UINT32_MAX ? i : i - last);
      p = le::put_varint(p, t.count);
      cursor[k] = static_cast<uint64_t>(p - base);
      next_gap_from[k] = static_cast<uint32_t>(i);
    }
  }
  return file;
}

}  // namespace textrank
