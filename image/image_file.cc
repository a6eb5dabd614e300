#include "image/image_file.h"

#include <climits>

#include "common/numbers.h"
#include "common/tokens.h"

namespace image {

std::string_view readFaultMessage(ReadFault fault) {
  switch (fault) {
    case ReadFault::kMissingValues:
      return "\nErreur fatale : Pas assez de valeurs dans l'image";
    case ReadFault::kBadValue:
      return "\nErreur fatale : Valeur incorrecte dans l'image";
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

namespace {

// Reads plane.size() values of 0..255 into the plane.
ReadFault lirePlan(std::vector<uint8_t>& plane, ImageStream& in) {
  for (uint8_t& cell : plane) {
    int64_t v = 0;
    switch (in.next(v)) {
      case ImageStream::Token::kEnd:
        return ReadFault::kMissingValues;
      case ImageStream::Token::kNotNumber:
        return ReadFault::kBadValue;
      case ImageStream::Token::kNumber:
        if (v < 0 || v > 255) return ReadFault::kBadValue;
        cell = static_cast<uint8_t>(v);
        break;
    }
  }
  return ReadFault::kNone;
}

}  // namespace

ReadFault lectureImgageNB(ImgNB& img, ImageStream& in) { return lirePlan(img.matrice, in); }

ReadFault lectureImgageRGB(ImgRGB& img, ImageStream& in) {
  for (std::vector<uint8_t>* plane : {&img.matriceR, &img.matriceG, &img.matriceB}) {
    const ReadFault f = lirePlan(*plane, in);
    if (f != ReadFault::kNone) return f;
  }
  return ReadFault::kNone;
}

ReadFault parcoursValeurs(ImageStream& in, uint64_t count) {
  for (uint64_t k = 0; k < count; ++k) {
    int64_t v = 0;
    switch (in.next(v)) {
      case ImageStream::Token::kEnd:
        return ReadFault::kMissingValues;
      case ImageStream::Token::kNotNumber:
        return ReadFault::kBadValue;
      case ImageStream::Token::kNumber:
        if (v < 0 || v > 255) return ReadFault::kBadValue;
        break;
    }
  }
  return ReadFault::kNone;
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
