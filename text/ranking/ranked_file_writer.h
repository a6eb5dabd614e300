// Building the text side's ranked index from document descriptions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text/ranking/describe.h"
#include "text/ranking/digest.h"

namespace textrank {

struct IndexedDocument {
  int64_t id;                      // the document's identifier (1..N in listing order)
  std::string_view name;           // its bare file name
  const Description* description;  // never null: its stems, counts and length
  Digest digest{};                  // of its bytes as read
  // Its words when they are kept elsewhere than in description->words (in a
  // previous index, for a document unchanged since).
  std::optional<std::string_view> kept_words{};

  std::string_view words() const { return kept_words ? *kept_words : std::string_view(description->words); }
};

// The whole bytes of the ranked index (ranked_file_format.h) over
// `documents`, given in listing order, with this build's BM25 parameters,
// stemmer and verdict settings. Pure: same documents, same bytes, whatever
// the order of the terms within each description.
std::string build_ranked_file(std::span<const IndexedDocument> documents);

// The same bytes but the last section: the whole file is these followed by
// each document's words(), in order (the header's checksum covers them). A writer that appends the
// words straight from the descriptions never holds a second copy of them,
// which are most of the file.
std::string build_ranked_head(std::span<const IndexedDocument> documents);

}  // namespace textrank
