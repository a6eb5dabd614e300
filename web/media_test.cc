#include "web/media.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/support/temp_store.h"
#include "web/png.h"
#include "web/wav.h"

namespace web {
namespace {

struct Decoded {
  uint32_t width = 0, height = 0, format = 0;
  std::vector<uint8_t> pixels;
};

// Reads a PNG back with libpng, in its own format.
bool DecodePng(const std::string& png, Decoded* out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return false;
  out->width = image.width;
  out->height = image.height;
  out->format = image.format;
  out->pixels.resize(PNG_IMAGE_SIZE(image));
  const bool ok = png_image_finish_read(&image, nullptr, out->pixels.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

TEST(Png, GreyAndColourPixelsComeBackUnchanged) {
  std::vector<uint8_t> grey(7 * 3);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 12);
  std::string png;
  ASSERT_TRUE(EncodePng(7, 3, 1, grey, &png));
  Decoded d;
  ASSERT_TRUE(DecodePng(png, &d));
  EXPECT_EQ(d.width, 7u);
  EXPECT_EQ(d.height, 3u);
  EXPECT_EQ(d.format, static_cast<uint32_t>(PNG_FORMAT_GRAY));
  EXPECT_EQ(d.pixels, grey);

  std::vector<uint8_t> rgb(2 * 5 * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(255 - i * 7);
  ASSERT_TRUE(EncodePng(2, 5, 3, rgb, &png));
  ASSERT_TRUE(DecodePng(png, &d));
  EXPECT_EQ(d.width, 2u);
  EXPECT_EQ(d.height, 5u);
  EXPECT_EQ(d.format, static_cast<uint32_t>(PNG_FORMAT_RGB));
  EXPECT_EQ(d.pixels, rgb);
}

TEST(Png, RefusesSizesThatDoNotMatchThePixels) {
  std::string png;
  EXPECT_FALSE(EncodePng(2, 2, 1, std::vector<uint8_t>(3), &png));
  EXPECT_FALSE(EncodePng(2, 2, 3, std::vector<uint8_t>(4), &png));
  EXPECT_FALSE(EncodePng(0, 0, 1, {}, &png));
  EXPECT_FALSE(EncodePng(1, 1, 2, std::vector<uint8_t>(2), &png));
}

TEST(RenderImage, ImageFilesBecomePngOfTheirKind) {
  // Colour files hold the red plane, then green, then blue.
  std::string png, why;
  ASSERT_TRUE(RenderImage("1 2 3\n10 20\n30 40\n0x32 060\n", &png, &why));
  Decoded d;
  ASSERT_TRUE(DecodePng(png, &d));
  EXPECT_EQ(d.width, 2u);
  EXPECT_EQ(d.height, 1u);
  EXPECT_EQ(d.format, static_cast<uint32_t>(PNG_FORMAT_RGB));
  EXPECT_EQ(d.pixels, (std::vector<uint8_t>{10, 30, 50, 20, 40, 48}));

  ASSERT_TRUE(RenderImage("2 1 1\n0\n255\n", &png, &why));
  ASSERT_TRUE(DecodePng(png, &d));
  EXPECT_EQ(d.format, static_cast<uint32_t>(PNG_FORMAT_GRAY));
  EXPECT_EQ(d.pixels, (std::vector<uint8_t>{0, 255}));

  for (const char* bad : {"", "2 2 1\n1 2 3\n", "1 1 2\n5\n", "1 1 1\n256\n", "texte libre", "99999 99999 3\n1\n"}) {
    EXPECT_FALSE(RenderImage(bad, &png, &why)) << bad;
    EXPECT_FALSE(why.empty());
  }
}

std::string Raw(std::initializer_list<double> samples) {
  std::string raw;
  for (double s : samples) {
    uint64_t bits;
    std::memcpy(&bits, &s, 8);
    for (int i = 0; i < 8; ++i) raw.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
  }
  return raw;
}

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}

int16_t Le16(const std::string& s, size_t at) {
  return static_cast<int16_t>(static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8));
}

TEST(Wav, HeaderSaysSixteenKilohertzSixteenBitMono) {
  std::string wav;
  ASSERT_TRUE(RawToWav(Raw({0.0, 0.25, -0.25}) + "xyz", &wav));  // a partial sample is left out
  ASSERT_EQ(wav.size(), 44u + 6u);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le32(wav, 16), 16u);
  EXPECT_EQ(Le16(wav, 20), 1);  // PCM
  EXPECT_EQ(Le16(wav, 22), 1);  // mono
  EXPECT_EQ(Le32(wav, 24), 16000u);
  EXPECT_EQ(Le32(wav, 28), 32000u);
  EXPECT_EQ(Le16(wav, 32), 2);
  EXPECT_EQ(Le16(wav, 34), 16);
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(Le32(wav, 40), 6u);
  EXPECT_EQ(Le16(wav, 44), 0);
  EXPECT_EQ(Le16(wav, 46), 8192);   // 0.25 * 32767 = 8191.75
  EXPECT_EQ(Le16(wav, 48), -8192);

  ASSERT_TRUE(RawToWav("", &wav));
  EXPECT_EQ(wav.size(), 44u);
  EXPECT_EQ(Le32(wav, 40), 0u);
}

TEST(Wav, SamplesAreClippedScaledAndRounded) {
  EXPECT_EQ(PcmSample(1.0), 32767);
  EXPECT_EQ(PcmSample(-1.0), -32767);
  EXPECT_EQ(PcmSample(7.5), 32767);
  EXPECT_EQ(PcmSample(-1e300), -32767);
  EXPECT_EQ(PcmSample(0.5), 16384);  // 16383.5 rounds away from zero
  EXPECT_EQ(PcmSample(-0.5), -16384);
  EXPECT_EQ(PcmSample(1.0 / 32767 * 0.49), 0);
  EXPECT_EQ(PcmSample(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(PcmSample(std::numeric_limits<double>::infinity()), 32767);
  EXPECT_EQ(PcmSample(-std::numeric_limits<double>::infinity()), -32767);
}

class MediaItems : public ::testing::Test {
 protected:
  testing_support::TempStore dir_;
  store::Store store_ = dir_.store();
};

TEST_F(MediaItems, ItemsAreFoundThroughTheirList) {
  dir_.write("EXTERN_FILES/database/base_image/liste_base_image.txt",
             "<id> 0 </id> <fichier> c.txt </fichier> <type> RGB </type>\n"
             "<id> 1 </id> <fichier> c.txt </fichier> <type> NB </type>\n");
  dir_.write("EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_RGB/c.txt", "1 1 3\n1\n2\n3\n");
  dir_.write("EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/c.txt", "1 2 1\n7 8\n");
  Reply r = ImageItem(store_, "0");
  ASSERT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(r.content_type, "image/png");
  Decoded d;
  ASSERT_TRUE(DecodePng(r.body, &d));
  EXPECT_EQ(d.pixels, (std::vector<uint8_t>{1, 2, 3}));
  r = ImageItem(store_, "1");  // same name, other kind: the grey corpus
  ASSERT_TRUE(DecodePng(r.body, &d));
  EXPECT_EQ(d.pixels, (std::vector<uint8_t>{7, 8}));
  EXPECT_EQ(ImageItem(store_, "2").status, 404);

  dir_.write("EXTERN_FILES/database/base_son/Liste_Base_Son.txt", "<id> 0 </id><fichier> s.bin </fichier>\n");
  dir_.write("EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_SON/s.bin", Raw({0.5, -2.0}));
  r = SoundItem(store_, "0");
  ASSERT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(r.content_type, "audio/wav");
  ASSERT_EQ(r.body.size(), 48u);
  EXPECT_EQ(Le16(r.body, 44), 16384);
  EXPECT_EQ(Le16(r.body, 46), -32767);

  dir_.write("EXTERN_FILES/database/base_texte/liste_base_texte.txt", "<id> 1 </id> <filename> t.xml </filename>\n");
  dir_.write("EXTERN_FILES/base_files/DATA_VELMORANE_DEV/Textes/t.xml", "<t>\xe9t\xe9</t>\n");  // ISO-8859-1
  r = TextItem(store_, "1");
  ASSERT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(r.content_type, "text/plain; charset=utf-8");
  EXPECT_EQ(r.body, "<t>été</t>\n");
}

TEST_F(MediaItems, MissingListsBadNamesAndBrokenFilesAreJsonErrors) {
  EXPECT_EQ(ImageItem(store_, "0").status, 503);
  EXPECT_EQ(SoundItem(store_, "0").status, 503);
  EXPECT_EQ(TextItem(store_, "1").status, 503);

  dir_.write("EXTERN_FILES/database/base_image/liste_base_image.txt",
             "<id> 0 </id> <fichier> ../../../etc/passwd </fichier> <type> RGB </type>\n"
             "<id> 1 </id> <fichier> absent.txt </fichier> <type> NB </type>\n"
             "<id> 2 </id> <fichier> a.txt </fichier> <type> XYZ </type>\n"
             "<id> 3 </id> <fichier> broken.txt </fichier> <type> NB </type>\n");
  dir_.write("EXTERN_FILES/base_files/DATA_VELMORANE_DEV/TEST_NB/broken.txt", "4 4 1\n1 2\n");
  for (const char* id : {"0", "1", "2", "3"}) {
    const Reply r = ImageItem(store_, id);
    EXPECT_EQ(r.status, 500) << id;
    EXPECT_EQ(r.content_type, "application/json");
    EXPECT_NE(r.body.find("\"error\""), std::string::npos);
  }
}

}  // namespace
}  // namespace web
