#include "image/image_file.h"

#include <climits>

#include "common/numbers.h"
#include "common/tokens.h"
#include "image/messages.h"

namespace image {

std::string_view readFaultMessage(ReadFault fault) {
  switch (fault) {
    case ReadFault::kMissingValues:
      return kMsgPasAssezDeValeurs;
    case ReadFault::kBadValue:
      return kMsgValeurIncorrecte;
    case ReadFault::kNone:
      break;
  }
  return "";
}

ImageStream::Token ImageStream::next(int64_t& value) {
  const size_t n = data_.size();
  size_t i = pos_;
  while (i < n && tokens::is_space(static_cast<unsigned char>(data_[i]))) ++i;
  if (i == n) {
    pos_ = n;
    return Token::kEnd;
  }
  // Fast path: a plain decimal token without sign or leading zero, the form
  // of almost every value (up to 18 digits cannot overflow int64).
  size_t j = i;
  int64_t v = 0;
  while (j < n && data_[j] >= '0' && data_[j] <= '9' && j - i < 18) {
    v = v * 10 + (data_[j] - '0');
    ++j;
  }
  if (j > i && (data_[i] != '0' || j - i == 1) &&
      (j == n || tokens::is_space(static_cast<unsigned char>(data_[j])))) {
    pos_ = j;
    value = v;
    return Token::kNumber;
  }
  // General case: the whole token must be one strtol base-0 number.
  j = i;
  while (j < n && !tokens::is_space(static_cast<unsigned char>(data_[j]))) ++j;
  pos_ = j;
  const std::string_view token = data_.substr(i, j - i);
  size_t consumed = 0;
  value = numbers::parse_base0(token, &consumed);
  return consumed == token.size() ? Token::kNumber : Token::kNotNumber;
}

ReadFault lectureEntete(ImageStream& in, Entete& out) {
  int64_t* fields[] = {&out.nbLigne, &out.nbColonne, &out.nbComposantes};
  for (int64_t* field : fields) {
    int64_t v = 0;
    switch (in.next(v)) {
      case ImageStream::Token::kEnd:
        return ReadFault::kMissingValues;
      case ImageStream::Token::kNotNumber:
        return ReadFault::kBadValue;
      case ImageStream::Token::kNumber:
        *field = v;
        break;
    }
  }
  return ReadFault::kNone;
}

bool tailleValide(const Entete& e) {
  if (e.nbLigne < 1 || e.nbColonne < 1 || e.nbLigne > INT32_MAX || e.nbColonne > INT32_MAX)
    return false;
  return e.nbLigne * e.nbColonne <= INT32_MAX;  // both below 2^31: no overflow
}

ImgNB initImageNB(std::string nom, int32_t nbLigne, int32_t nbColonne) {
  ImgNB img;
  img.nom = std::move(nom);
  img.nbLigne = nbLigne;
  img.nbColonne = nbColonne;
  img.matrice.resize(static_cast<size_t>(nbLigne) * static_cast<size_t>(nbColonne));
  return img;
}

ImgRGB initImageRGB(std::string nom, int32_t nbLigne, int32_t nbColonne) {
  ImgRGB img;
  img.nom = std::move(nom);
  img.nbLigne = nbLigne;
  img.nbColonne = nbColonne;
  const size_t pixels = static_cast<size_t>(nbLigne) * static_cast<size_t>(nbColonne);
  img.matriceR.resize(pixels);
  img.matriceG.resize(pixels);
  img.matriceB.resize(pixels);
  img.matriceEnc.resize(pixels);
  return img;
}

ReadFault ImageStream::readValues(uint8_t* out, uint64_t count) {
  const char* const begin = data_.data();
  const char* const end = begin + data_.size();
  const char* p = begin + pos_;
  auto digit = [](char c) { return static_cast<unsigned>(c - '0') <= 9; };
  auto space = [](const char* q) { return tokens::is_space(static_cast<unsigned char>(*q)); };
  for (uint64_t k = 0; k < count; ++k) {
    while (p < end && space(p)) ++p;
    if (p == end) {
      pos_ = data_.size();
      return ReadFault::kMissingValues;
    }
    // Fast path: up to four decimal digits without sign or leading zero (any
    // longer decimal number is out of range anyway, and is left to next()).
    int64_t v = -1;
    if (digit(*p)) {
      const char* q = p + 1;
      unsigned n = static_cast<unsigned>(*p - '0');
      if (n != 0)
        while (q < end && q - p < 4 && digit(*q)) n = n * 10 + static_cast<unsigned>(*q++ - '0');
      if (q == end || space(q)) {
        v = n;
        p = q;
      }
    }
    if (v < 0) {
      pos_ = static_cast<size_t>(p - begin);
      if (next(v) != Token::kNumber) return ReadFault::kBadValue;
      p = begin + pos_;
    }
    if (v < 0 || v > 255) {
      pos_ = static_cast<size_t>(p - begin);
      return ReadFault::kBadValue;
    }
    if (out != nullptr) out[k] = static_cast<uint8_t>(v);
  }
  pos_ = static_cast<size_t>(p - begin);
  return ReadFault::kNone;
}

ReadFault lectureImgageNB(ImgNB& img, ImageStream& in) {
  return in.readValues(img.matrice.data(), img.matrice.size());
}

ReadFault lectureImgageRGB(ImgRGB& img, ImageStream& in) {
  for (std::vector<uint8_t>* plane : {&img.matriceR, &img.matriceG, &img.matriceB}) {
    const ReadFault f = in.readValues(plane->data(), plane->size());
    if (f != ReadFault::kNone) return f;
  }
  return ReadFault::kNone;
}

ReadFault parcoursValeurs(ImageStream& in, uint64_t count) { return in.readValues(nullptr, count); }

ImageLue lireImage(std::string_view bytes, std::string nom) {
  ImageLue r;
  ImageStream in(bytes);
  Entete e;
  r.fault = lectureEntete(in, e);
  if (r.fault != ReadFault::kNone) {
    r.outcome = ImageLue::Outcome::kHeaderFault;
    return r;
  }
  if (e.nbComposantes != kKindNB && e.nbComposantes != kKindRGB) {
    r.outcome = ImageLue::Outcome::kUnknownKind;
    return r;
  }
  r.kind = static_cast<int>(e.nbComposantes);
  r.outcome = ImageLue::Outcome::kBodyFault;
  if (!tailleValide(e)) {
    r.fault = ReadFault::kBadValue;
    return r;
  }
  const auto lines = static_cast<int32_t>(e.nbLigne);
  const auto columns = static_cast<int32_t>(e.nbColonne);
  const uint64_t values = static_cast<uint64_t>(lines) * static_cast<uint64_t>(columns) *
                          static_cast<uint64_t>(r.kind);
  if (values > in.maxNumbersLeft()) {
    r.fault = parcoursValeurs(in, values);
    if (r.fault == ReadFault::kNone) r.fault = ReadFault::kMissingValues;  // cannot happen
    return r;
  }
  if (r.kind == kKindNB) {
    r.nb = initImageNB(std::move(nom), lines, columns);
    r.fault = lectureImgageNB(r.nb, in);
  } else {
    r.rgb = initImageRGB(std::move(nom), lines, columns);
    r.fault = lectureImgageRGB(r.rgb, in);
  }
  if (r.fault == ReadFault::kNone) r.outcome = ImageLue::Outcome::kRead;
  return r;
}

void quantificationImageNB(ImgNB& img, const ParamBits& bits) {
  const int shift = 8 - bits.PARAM_BITS_NB;
  for (uint8_t& v : img.matrice) v = static_cast<uint8_t>(v >> shift);
}

void quantificationImageRGB(ImgRGB& img, const ParamBits& bits) {
  const int n = bits.PARAM_BITS_RGB;
  const int shift = 8 - n;
  const size_t pixels = img.matriceEnc.size();
  for (size_t k = 0; k < pixels; ++k) {
    const int r = img.matriceR[k] >> shift;
    const int g = img.matriceG[k] >> shift;
    const int b = img.matriceB[k] >> shift;
    img.matriceEnc[k] = (r << (2 * n)) | (g << n) | b;
  }
}

}  // namespace image
