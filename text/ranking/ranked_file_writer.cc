#include "text/ranking/ranked_file_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "common/parallel.h"
#include "text/ranking/bm25.h"
#include "common/le_bytes.h"
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

// Stems met in a run of documents, numbered in order of first occurrence,
// with what their postings will take.
struct Stem {
  uint64_t posting_bytes = 0;
  uint32_t holders = 0;
  uint32_t first = 0;  // the first and last documents holding it
  uint32_t last = 0;
};
struct Part {
  StringTable stems;
  std::vector<Stem> info;
  std::vector<uint32_t> numbers;  // each document's terms as stem numbers
  uint64_t total_length = 0;
};

void scan(std::span<const IndexedDocument> documents, size_t begin, size_t end, Part& part) {
  size_t count = 0;
  for (size_t i = begin; i < end; ++i) count += documents[i].description->terms.size();
  part.numbers.reserve(count);
  for (size_t i = begin; i < end; ++i) {
    const Description& d = *documents[i].description;
    part.total_length += d.length;
    for (const Term& t : d.terms) {
      bool inserted;
      const uint32_t k = part.stems.intern(d.stem(t), t.hash, &inserted);
      if (inserted) part.info.push_back({0, 0, static_cast<uint32_t>(i), 0});
      Stem& st = part.info[k];
      const uint64_t gap = st.holders == 0 ? i : i - st.last;
      st.posting_bytes += le::varint_size(gap) + le::varint_size(t.count);
      ++st.holders;
      st.last = static_cast<uint32_t>(i);
      part.numbers.push_back(k);
    }
  }
}

// Adds `later` (documents after all of `into`'s) to `into`; returns the
// numbers in `into` of later's stems.
std::vector<uint32_t> merge(Part& into, const Part& later) {
  std::vector<uint32_t> renumber(later.stems.size());
  for (uint32_t k = 0; k < later.stems.size(); ++k) {
    bool inserted;
    const uint32_t g = into.stems.intern(later.stems.at(k), later.stems.hash(k), &inserted);
    const Stem& s = later.info[k];
    if (inserted) {
      into.info.push_back(s);
    } else {
      // Its first posting there becomes a gap from the last one here.
      Stem& t = into.info[g];
      t.posting_bytes += s.posting_bytes - le::varint_size(s.first) + le::varint_size(s.first - t.last);
      t.holders += s.holders;
      t.last = s.last;
    }
    renumber[k] = g;
  }
  into.total_length += later.total_length;
  return renumber;
}

}  // namespace

std::string build_ranked_file(std::span<const IndexedDocument> documents) {
  std::string file = build_ranked_head(documents);
  size_t words = 0;
  for (const IndexedDocument& d : documents) words += d.words().size();
  file.reserve(file.size() + words);
  for (const IndexedDocument& d : documents) file.append(d.words());
  return file;
}

std::string build_ranked_head(std::span<const IndexedDocument> documents) {
  const size_t n = documents.size();
  if (n >= UINT32_MAX) throw std::length_error("too many documents for a ranked index");

  // Every stem gets a number and each document's terms are kept as
  // numbers, with each stem's postings size counted on the way: in two
  // halves at once, the second then merged into the first.
  const size_t parts = n >= 2048 ? 2 : 1;
  std::vector<Part> part(parts);
  parallel::for_each_index(parts, [&](size_t p) { scan(documents, n * p / parts, n * (p + 1) / parts, part[p]); });
  std::vector<uint32_t> renumber;
  if (parts == 2) renumber = merge(part[0], part[1]);
  const StringTable& stems = part[0].stems;
  const std::vector<Stem>& info = part[0].info;
  const uint64_t total_length = part[0].total_length;
  const size_t terms = stems.size();
  std::vector<uint32_t> order(terms);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return stems.at(a) < stems.at(b); });

  // Section sizes, then one buffer for the whole file.
  static_assert(kWords == kSections - 1);
  std::array<uint64_t, kSections> size{};
  size[kLengths] = 4 * n;
  size[kDocuments] = kDocumentEntrySize * n;
  size[kTermTable] = kTermEntrySize * terms;
  size[kTermBytes] = stems.bytes();
  size[kDigests] = kDigestSize * n;
  for (const IndexedDocument& d : documents) {
    size[kNames] += d.name.size();
    size[kWords] += d.words().size();
  }
  for (const Stem& st : info) size[kPostings] += st.posting_bytes;
  std::array<uint64_t, kSections> at{};
  uint64_t end = kHeaderSize;
  for (size_t s = 0; s < kSections; ++s) {
    at[s] = end;
    end += size[s];
  }
  // Everything but the words, the last section, is written in place.
  std::string file(at[kWords], '\0');
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
  le::put32(base + kFlagsAt, kFlags);
  le::put64(base + kDocumentsAt, n);
  le::put64(base + kTotalLengthAt, total_length);
  le::put_double(base + kAverageLengthAt, n == 0 ? 0.0 : static_cast<double>(total_length) / static_cast<double>(n));
  le::put64(base + kTermsAt, terms);
  for (size_t s = 0; s < kSections; ++s) {
    le::put64(base + kSectionsAt + 16 * s, at[s]);
    le::put64(base + kSectionsAt + 16 * s + 8, size[s]);
  }

  // Documents: lengths, entries, names, digests, words.
  uint64_t name_at = 0, words_at = 0;
  for (size_t i = 0; i < n; ++i) {
    const IndexedDocument& d = documents[i];
    const std::string_view words = d.words();
    le::put32(base + at[kLengths] + 4 * i,
              static_cast<uint32_t>(std::min<uint64_t>(d.description->length, UINT32_MAX)));
    char* e = base + at[kDocuments] + kDocumentEntrySize * i;
    le::put64(e, static_cast<uint64_t>(d.id));
    le::put64(e + 8, name_at);
    le::put64(e + 16, d.name.size());
    le::put64(e + 24, words_at);
    le::put64(e + 32, words.size());
    std::memcpy(base + at[kNames] + name_at, d.name.data(), d.name.size());
    le::put64(base + at[kDigests] + kDigestSize * i, d.digest.low);
    le::put64(base + at[kDigests] + kDigestSize * i + 8, d.digest.high);
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
  for (size_t p = 0; p < parts; ++p) {
    const std::vector<uint32_t>& numbers = part[p].numbers;
    size_t next = 0;
    for (size_t i = n * p / parts; i < n * (p + 1) / parts; ++i) {
      for (const Term& t : documents[i].description->terms) {
        const uint32_t k = p == 0 ? numbers[next++] : renumber[numbers[next++]];
        char* out = base + cursor[k];
        const uint32_t last = next_gap_from[k];
        out = le::put_varint(out, last == UINT32_MAX ? i : i - last);
        out = le::put_varint(out, t.count);
        cursor[k] = static_cast<uint64_t>(out - base);
        next_gap_from[k] = static_cast<uint32_t>(i);
      }
    }
  }

  std::vector<std::string_view> body;
  body.reserve(n + 1);
  body.push_back(std::string_view(file).substr(kHeaderSize));
  for (const IndexedDocument& d : documents) body.push_back(d.words());
  le::put64(base + kChecksumAt, checksum_of(body));
  return file;
}

}  // namespace textrank
