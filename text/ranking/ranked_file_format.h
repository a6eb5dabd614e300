// Layout of database/base_texte/classement_texte.idx, the text side's ranked
// index. Little-endian throughout. A query reads the header, looks its stems
// up in the sorted term table, and follows offsets to what it needs.
//
//   header (kHeaderSize bytes)
//     0  magic "TXTRANK\0"          8  u32 version    12 u32 header size
//    16  f64 k1                    24  f64 b
//    32  stemmer language (16 bytes, zero-padded)   48 stemmer encoding (16)
//    64  f64 source threshold      72  u32 fewest words for a source
//    76  u32 flags (kFlag...)
//    80  u64 documents             88  u64 total length (stems)
//    96  f64 average length       104  u64 terms
//   112  section table: kSections x (u64 offset, u64 size), in Section order
//   240  u64 checksum: XXH3 (64 bits) of every byte after the header
//   then zeros up to kHeaderSize
//   lengths    u32 per document: its BM25 length (saturated)
//   documents  per document: i64 id, u64 name offset, u64 name size,
//              u64 words offset, u64 words size (offsets into names / words)
//   names      the documents' bare file names, one after the other
//   terms      per stem, sorted by its bytes: u64 bytes offset, u32 bytes
//              size, u32 documents holding it, u64 postings offset, u64
//              postings size (offsets into term bytes / postings)
//   term bytes the stems, one after the other
//   postings   per stem, per document holding it in index order: varint
//              document index (the first) or gap to the previous one, then
//              varint count
//   digests    per document: XXH3 (128 bits) of its bytes as read, low
//              then high u64, so an indexation knows it again unchanged
//   words      each document's words in normal form (Description::words)
#pragma once

#include <cstddef>
#include <cstdint>

namespace textrank::format {

inline constexpr char kMagic[8] = {'T', 'X', 'T', 'R', 'A', 'N', 'K', '\0'};
// An indexation reuses the descriptions held by a file of this version and
// the same settings: whatever changes what the describer gives must change
// the version (or the flags) too.
inline constexpr uint32_t kVersion = 2;
inline constexpr size_t kHeaderSize = 256;

inline constexpr size_t kVersionAt = 8;
inline constexpr size_t kHeaderSizeAt = 12;
inline constexpr size_t kK1At = 16;
inline constexpr size_t kBAt = 24;
inline constexpr size_t kLanguageAt = 32;
inline constexpr size_t kEncodingAt = 48;
inline constexpr size_t kNameFieldSize = 16;
inline constexpr size_t kThresholdAt = 64;
inline constexpr size_t kMinWordsAt = 72;
inline constexpr size_t kFlagsAt = 76;
inline constexpr size_t kDocumentsAt = 80;
inline constexpr size_t kTotalLengthAt = 88;
inline constexpr size_t kAverageLengthAt = 96;
inline constexpr size_t kTermsAt = 104;
inline constexpr size_t kSectionsAt = 112;
inline constexpr size_t kChecksumAt = 240;

// How the texts were read, recorded for whoever inspects a file.
inline constexpr uint32_t kFlagStopWordsDropped = 1;
inline constexpr uint32_t kFlagFoldedAfterStemming = 2;
inline constexpr uint32_t kFlagMarksAndEntities = 4;
// What this build does.
inline constexpr uint32_t kFlags = kFlagStopWordsDropped | kFlagFoldedAfterStemming | kFlagMarksAndEntities;

enum Section { kLengths, kDocuments, kNames, kTermTable, kTermBytes, kPostings, kDigests, kWords, kSections };

inline constexpr size_t kDocumentEntrySize = 40;
inline constexpr size_t kTermEntrySize = 32;
inline constexpr size_t kDigestSize = 16;

static_assert(kSectionsAt + 16 * kSections <= kChecksumAt && kChecksumAt + 8 <= kHeaderSize);

}  // namespace textrank::format
