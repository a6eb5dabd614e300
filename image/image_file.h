// Image files: a plain-text header (lines, columns, components) followed by
// the body of 8-bit values, one plane for a grey image (kind NB), three planes
// red, green, blue for a colour image (kind RGB). Everything here works on the
// file's bytes already in memory, so it can be tested and fuzzed without I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace image {

// Kinds as the header's component count gives them.
inline constexpr int kKindNB = 1;
inline constexpr int kKindRGB = 3;

// Bits kept of each value by the quantisations; the indexing takes them from
// the configuration file, the search from the head of the descriptor base.
struct ParamBits {
  int PARAM_BITS_NB = 4;   // 1 to 7
  int PARAM_BITS_RGB = 3;  // 1 to 5
};

// What stopped a reading.
enum class ReadFault {
  kNone,
  kMissingValues,  // the file ended before every expected number was read
  kBadValue,       // a token that is not a number, or a number out of range
};

// The reader's own message for a fault (no line feed after it, no file name).
std::string_view readFaultMessage(ReadFault fault);

// The reading position in an image file's bytes. Numbers are tokens separated
// by white space, each read as strtol reads with base 0 (optional sign, then
// "0x" and hexadecimal digits, a leading 0 and octal digits, or decimal
// digits); a token that is not wholly such a number is not a number.
class ImageStream {
 public:
  explicit ImageStream(std::string_view bytes) : data_(bytes) {}

  enum class Token { kEnd, kNotNumber, kNumber };
  // Reads the next token; `value` receives the number (saturated to int64).
  Token next(int64_t& value);

  // Reads `count` values of 0 to 255 into `out` (nothing is stored when `out`
  // is null). Stops at the first fault; values already stored stay.
  ReadFault readValues(uint8_t* out, uint64_t count);

  // The most numbers the rest of the input can still hold: every number takes
  // at least one byte and a separator, so this bounds any allocation made from
  // a header's sizes by the size of the file itself.
  size_t maxNumbersLeft() const { return (data_.size() - pos_ + 1) / 2; }

 private:
  std::string_view data_;
  size_t pos_ = 0;
};

// The three header numbers, as they stand in the file.
struct Entete {
  int64_t nbLigne = 0;
  int64_t nbColonne = 0;
  int64_t nbComposantes = 0;
};

// Reads the header. kMissingValues when the file ends inside it, kBadValue at
// a token that is not a number; the numbers are otherwise taken as they stand.
ReadFault lectureEntete(ImageStream& in, Entete& out);

// True when the header's sizes describe an image that can be held: both sizes
// at least 1 and a pixel count that fits a signed 32-bit count.
bool tailleValide(const Entete& e);

// Grey image: one plane of nbLigne x nbColonne values, line by line.
struct ImgNB {
  std::string nom;
  int32_t nbLigne = 0;
  int32_t nbColonne = 0;
  std::vector<uint8_t> matrice;  // row-major; quantised values after quantification

  uint8_t at(int32_t i, int32_t j) const { return matrice[static_cast<size_t>(i) * nbColonne + j]; }
};

// Colour image: three planes as read, and the colour code of each pixel.
struct ImgRGB {
  std::string nom;
  int32_t nbLigne = 0;
  int32_t nbColonne = 0;
  std::vector<uint8_t> matriceR;
  std::vector<uint8_t> matriceG;
  std::vector<uint8_t> matriceB;
  std::vector<int32_t> matriceEnc;  // filled by quantificationImageRGB

  size_t index(int32_t i, int32_t j) const { return static_cast<size_t>(i) * nbColonne + j; }
};

// Records with their planes allocated (unfilled). The sizes must satisfy
// tailleValide.
ImgNB initImageNB(std::string nom, int32_t nbLigne, int32_t nbColonne);
ImgRGB initImageRGB(std::string nom, int32_t nbLigne, int32_t nbColonne);

// Read the body into the record's planes (red, then green, then blue for a
// colour image). Stops at the first fault; values already stored stay.
ReadFault lectureImgageNB(ImgNB& img, ImageStream& in);
ReadFault lectureImgageRGB(ImgRGB& img, ImageStream& in);

// The fault that reading `count` more values would meet, without storing
// them: used when the header asks for more values than the file can hold, so
// the outcome is the same as a real reading without its allocation.
ReadFault parcoursValeurs(ImageStream& in, uint64_t count);

// A whole image file read from its bytes: the header, its kind, then the body
// into the record of that kind.
struct ImageLue {
  enum class Outcome {
    kRead,         // `nb` or `rgb` (by `kind`) holds the image
    kHeaderFault,  // the header could not be read (`fault` says why)
    kUnknownKind,  // the component count is neither 1 nor 3
    kBodyFault,    // sizes that cannot be held (kBadValue), or a body that cannot be read
  };
  Outcome outcome = Outcome::kHeaderFault;
  ReadFault fault = ReadFault::kNone;
  int kind = 0;  // kKindNB or kKindRGB once the header gave a valid kind
  ImgNB nb;
  ImgRGB rgb;
};

// `nom` is the image's path, kept in the record as the caller gave it. A
// header asking for more values than the rest of the file can hold is walked
// through without allocating its planes: the reading must fail, and it fails
// the same way.
ImageLue lireImage(std::string_view bytes, std::string nom);

// Keep the n high-order bits of every grey value, in place (n = bits.PARAM_BITS_NB).
void quantificationImageNB(ImgNB& img, const ParamBits& bits);

// Fill matriceEnc with r * 2^(2n) + g * 2^n + b, the n high-order bits of each
// component (n = bits.PARAM_BITS_RGB). The planes are left unchanged.
void quantificationImageRGB(ImgRGB& img, const ParamBits& bits);

}  // namespace image
