#include <gtest/gtest.h>

#include "sound/config.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/config.h"
#include "tests/support/temp_store.h"

namespace sound {
namespace {

struct ConfigCase {
  const char* text;
  int32_t e, n;
  const char* messages;
};

TEST(SoundConfig, KeysAreScannedWithTheirQuirks) {
  const ConfigCase cases[] = {
      {"<sound>\nechantillons: 2048\nnbintervalles: 40\n</sound>", 2048, 40, ""},
      {"", 1024, 40, ""},
      {"nbintervalles: 8", 1024, 8, ""},
      {"echantillons: 2048 x echantillons: 512", 512, 40, ""},
      {"nbintervalles: 12 echantillons: 64 <image> NbBit_NB: 4", 64, 12, ""},
      {"echantillons:  +77trailing", 77, 40, ""},
      // The value after "echantillons:" is then tested as the second key.
      {"echantillons: nbintervalles: 7", 1024, 7,
       "Parametre echantillons: incorrect pour l'indexation son : nbintervalles: ignoré !\n"},
      // The value after "nbintervalles:" is never tested as a key.
      {"nbintervalles: echantillons: 5", 1024, 40,
       "Parametre nbintervalles: incorrect pour l'indexation son : echantillons: ignoré !\n"},
      // A key as the last token takes itself as its value.
      {"echantillons: 16 nbintervalles:", 16, 40,
       "Parametre nbintervalles: incorrect pour l'indexation son : nbintervalles: ignoré !\n"},
      {"echantillons: 0 nbintervalles: -3", 1024, 40,
       "Parametre echantillons: incorrect pour l'indexation son : 0 ignoré !\n"
       "Parametre nbintervalles: incorrect pour l'indexation son : -3 ignoré !\n"},
      {"echantillons: 99999999999 nbintervalles: 65537", 1024, 40,
       "Parametre echantillons: incorrect pour l'indexation son : 99999999999 ignoré !\n"
       "Parametre nbintervalles: incorrect pour l'indexation son : 65537 ignoré !\n"},
      {"echantillons: 8 echantillons: abc", 8, 40,
       "Parametre echantillons: incorrect pour l'indexation son : abc ignoré !\n"},
      {"Echantillons: 8 echantillons:2", 1024, 40, ""},
  };
  for (const auto& c : cases) {
    Params p;
    EXPECT_EQ(scan_config(c.text, p), c.messages) << c.text;
    EXPECT_EQ(p.echantillons, c.e) << c.text;
    EXPECT_EQ(p.nbintervalles, c.n) << c.text;
  }
}

TEST(SoundConfig, TheStoreFileOrTheFallback) {
  testing_support::TempStore s(/*with_config=*/false);
  s.write("EXTERN_FILES/configuration.config", "echantillons: 64 nbintervalles: 0");
  Params p;
  output::StringSink sink;
  init_valuesw(s.store(), sink, p);
  EXPECT_EQ(p.echantillons, 64);
  EXPECT_EQ(p.nbintervalles, 40);
  EXPECT_EQ(sink.out_text(), "Parametre nbintervalles: incorrect pour l'indexation son : 0 ignoré !\n");

  // A directory where the file belongs cannot be read: defaults stay.
  ASSERT_EQ(::unlink(s.path("EXTERN_FILES/configuration.config").c_str()), 0);
  ASSERT_EQ(::mkdir(s.path("EXTERN_FILES/configuration.config").c_str(), 0755), 0);
  Params q;
  output::StringSink fallback;
  init_valuesw(s.store(), fallback, q);
  EXPECT_EQ(q.echantillons, 1024);
  EXPECT_EQ(fallback.out_text(), config::kUnreadable);

  // Nor can a FIFO (no one would ever write to it) or an endless device.
  ASSERT_EQ(::rmdir(s.path("EXTERN_FILES/configuration.config").c_str()), 0);
  ASSERT_EQ(::mkfifo(s.path("EXTERN_FILES/configuration.config").c_str(), 0644), 0);
  output::StringSink fifo;
  init_valuesw(s.store(), fifo, q);
  EXPECT_EQ(fifo.out_text(), config::kUnreadable);
  ASSERT_EQ(::unlink(s.path("EXTERN_FILES/configuration.config").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", s.path("EXTERN_FILES/configuration.config").c_str()), 0);
  output::StringSink zero;
  init_valuesw(s.store(), zero, q);
  EXPECT_EQ(zero.out_text(), config::kUnreadable);
  EXPECT_EQ(q.echantillons, 1024);
  EXPECT_EQ(q.nbintervalles, 40);
}

}  // namespace
}  // namespace sound
