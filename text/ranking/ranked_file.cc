#include "text/ranking/ranked_file.h"

#include <cmath>
#include <cstring>

#include "common/le_bytes.h"
#include "text/ranking/stemmer.h"

namespace textrank {

namespace {

using namespace format;

[[noreturn]] void refuse(const char* reason) { throw FileError(reason); }

// s[offset, offset + size), refused when it does not lie inside `s`.
std::string_view slice(std::string_view s, uint64_t offset, uint64_t size, const char* what) {
  if (offset > s.size() || size > s.size() - offset) refuse(what);
  return s.substr(offset, size);
}

bool same_name(const char* field, std::string_view expected) {
  return std::string_view(field, strnlen(field, kNameFieldSize)) == expected;
}

}  // namespace

RankedFile RankedFile::open(std::string_view bytes) {
  if (bytes.size() < kHeaderSize) refuse("fichier trop court");
  const char* h = bytes.data();
  if (std::memcmp(h, kMagic, sizeof kMagic) != 0) refuse("pas un index de classement de textes");
  if (le::get32(h + kVersionAt) != kVersion) refuse("version de format inconnue");
  if (le::get32(h + kHeaderSizeAt) != kHeaderSize) refuse("taille d'en-tête incohérente");

  RankedFile f;
  f.bytes_ = bytes;
  f.flags_ = le::get32(h + kFlagsAt);
  f.k1_ = le::get_double(h + kK1At);
  f.b_ = le::get_double(h + kBAt);
  f.threshold_ = le::get_double(h + kThresholdAt);
  f.min_words_ = le::get32(h + kMinWordsAt);
  if (!(f.k1_ >= 0 && f.k1_ <= 100) || !(f.b_ >= 0 && f.b_ <= 1)) refuse("paramètres BM25 hors limites");
  if (!(f.threshold_ >= 0 && f.threshold_ <= 1)) refuse("seuil hors limites");
  if (!same_name(h + kLanguageAt, kStemmerLanguage) || !same_name(h + kEncodingAt, kStemmerEncoding))
    refuse("racinisation inconnue");

  f.documents_ = le::get64(h + kDocumentsAt);
  f.terms_ = le::get64(h + kTermsAt);
  const uint64_t total = le::get64(h + kTotalLengthAt);
  f.average_length_ = le::get_double(h + kAverageLengthAt);
  const double expected = f.documents_ == 0 ? 0.0 : static_cast<double>(total) / static_cast<double>(f.documents_);
  if (!std::isfinite(f.average_length_) || std::fabs(f.average_length_ - expected) > 1e-9 * (1 + expected))
    refuse("longueur moyenne incohérente");

  for (size_t s = 0; s < kSections; ++s) {
    const uint64_t at = le::get64(h + kSectionsAt + 16 * s);
    const uint64_t size = le::get64(h + kSectionsAt + 16 * s + 8);
    if (at < kHeaderSize) refuse("section dans l'en-tête");
    f.sections_[s] = slice(bytes, at, size, "section hors du fichier");
  }
  // Counts are checked against the sections they size before anything is
  // sized from them.
  const uint64_t n = f.documents_;
  if (n > bytes.size() / kDocumentEntrySize || f.sections_[kLengths].size() != 4 * n ||
      f.sections_[kDocuments].size() != kDocumentEntrySize * n)
    refuse("table des documents incohérente");
  if (f.terms_ > bytes.size() / kTermEntrySize || f.sections_[kTermTable].size() != kTermEntrySize * f.terms_)
    refuse("table des termes incohérente");
  if (f.sections_[kDigests].size() != kDigestSize * n) refuse("empreintes incohérentes");
  return f;
}

bool RankedFile::intact() const {
  const std::string_view body = bytes_.substr(kHeaderSize);
  return checksum_of({&body, 1}) == le::get64(bytes_.data() + kChecksumAt);
}

RankedFile::Document RankedFile::document(uint64_t index) const {
  if (index >= documents_) refuse("document hors de la table");
  const char* e = section(kDocuments).data() + kDocumentEntrySize * index;
  Document d;
  d.id = static_cast<int64_t>(le::get64(e));
  d.name = slice(section(kNames), le::get64(e + 8), le::get64(e + 16), "nom hors du fichier");
  d.words = slice(section(kWords), le::get64(e + 24), le::get64(e + 32), "mots hors du fichier");
  return d;
}

uint64_t RankedFile::length(uint64_t index) const {
  if (index >= documents_) refuse("document hors de la table");
  return le::get32(section(kLengths).data() + 4 * index);
}

Digest RankedFile::digest(uint64_t index) const {
  if (index >= documents_) refuse("document hors de la table");
  const char* e = section(kDigests).data() + kDigestSize * index;
  return {le::get64(e), le::get64(e + 8)};
}

std::string_view RankedFile::term(uint64_t rank) const {
  if (rank >= terms_) refuse("terme hors de la table");
  return term_bytes(rank);
}

RankedFile::Postings RankedFile::postings(uint64_t rank) const {
  if (rank >= terms_) refuse("terme hors de la table");
  return postings_at(rank);
}

RankedFile::Postings RankedFile::postings_at(uint64_t rank) const {
  const char* e = section(kTermTable).data() + kTermEntrySize * rank;
  Postings p;
  p.holders = le::get32(e + 12);
  if (p.holders == 0 || p.holders > documents_) refuse("nombre de documents d'un terme incohérent");
  p.list = slice(section(kPostings), le::get64(e + 16), le::get64(e + 24), "liste hors du fichier");
  return p;
}

std::string_view RankedFile::term_bytes(uint64_t rank) const {
  const char* e = section(kTermTable).data() + kTermEntrySize * rank;
  return slice(section(kTermBytes), le::get64(e), le::get32(e + 8), "terme hors du fichier");
}

std::optional<RankedFile::Postings> RankedFile::find(std::string_view stem) const {
  uint64_t lo = 0, hi = terms_;
  while (lo < hi) {
    const uint64_t mid = lo + (hi - lo) / 2;
    const int c = term_bytes(mid).compare(stem);
    if (c == 0) return postings_at(mid);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return std::nullopt;
}

bool RankedFile::PostingReader::next(uint64_t& index, uint32_t& count) {
  if (read_ == p_.holders) {
    if (pos_ != p_.list.size()) refuse("liste plus longue qu'annoncé");
    return false;
  }
  uint64_t gap, c;
  if (!le::get_varint(p_.list, pos_, gap) || !le::get_varint(p_.list, pos_, c)) refuse("liste tronquée");
  if (read_ > 0 && gap == 0) refuse("liste dans le désordre");
  if (read_ > 0 && gap > file_.documents_) refuse("document hors de la table");
  index = read_ == 0 ? gap : last_ + gap;
  if (index >= file_.documents_) refuse("document hors de la table");
  if (c == 0 || c > UINT32_MAX) refuse("compte incohérent");
  last_ = index;
  ++read_;
  count = static_cast<uint32_t>(c);
  return true;
}

}  // namespace textrank
