#include "sound/comparaison.h"

#include <gtest/gtest.h>

#include <string>

#include "sound/terminal_sink.h"
#include "sound/test_matrices.h"
#include "tests/support/temp_store.h"

namespace sound {
namespace {

using testing::samples;

constexpr const char kList[] = "EXTERN_FILES/database/base_son/Liste_Base_Son.txt";
constexpr const char kDescriptors[] = "EXTERN_FILES/database/base_son/base_descripteur_son.txt";

std::string repeat(double x, size_t count) { return samples(std::vector<double>(count, x)); }

TEST(SoundComparaison, ReportsWhereTheQueryIs) {
  testing_support::TempStore s;
  s.write(kDescriptors, "1024 1\n<id> 0 </id>\n<fenetre> 0 1500  </fenetre>\n"
                        "<fenetre> 1500 0  </fenetre>\n<fenetre> 0 0  </fenetre>\n");
  s.write(kList, "<id> 0 </id><fichier> s.bin </fichier>\n");
  s.write("q.bin", repeat(0.5, 1023));
  output::StringSink sink;
  EXPECT_EQ(compare(s.store(), sink, "../q.bin"), 0);
  EXPECT_EQ(sink.out_text(),
            "Requête : ../q.bin\n"
            "Une ressemblance à été trouvée dans s.bin à l'instant : 0.064000s  \n\n"
            "Trouvé dans s.bin postiton :  0.064000s  0.128000s\n\n");
  EXPECT_EQ(sink.err_text(), "");
}

TEST(SoundComparaison, UnusableQueryOrBaseIsOneLine) {
  testing_support::TempStore s;
  s.write("q.bin", repeat(0.5, 10));
  output::StringSink none;
  EXPECT_EQ(compare(s.store(), none, "../q.bin"), 1);
  EXPECT_EQ(none.err_text(), "engine: base de descripteurs son illisible : "
                             "../EXTERN_FILES/database/base_son/base_descripteur_son.txt\n");
  s.write(kDescriptors, "0 40\n");
  output::StringSink header;
  EXPECT_EQ(compare(s.store(), header, "../q.bin"), 1);
  EXPECT_EQ(header.err_text(), "engine: en-tête incorrect dans "
                               "../EXTERN_FILES/database/base_son/base_descripteur_son.txt : \"0 40\"\n");
  s.write(kDescriptors, "2048 40\n");
  output::StringSink query;
  EXPECT_EQ(compare(s.store(), query, "../none\x01.bin"), 1);
  EXPECT_EQ(query.out_text(), "Requête : ../none\x01.bin\n");
  EXPECT_EQ(query.err_text(), "engine: fichier son illisible : ../none\\x01.bin\n");
}

TEST(SoundComparaison, NamesAndThePathAreEscapedOnATerminalOnly) {
  testing_support::TempStore s;
  s.write(kDescriptors, "1024 1\n<id> 0 </id>\n<fenetre> 0 1500  </fenetre>\n"
                        "<fenetre> 1500 0  </fenetre>\n");
  s.write(kList, "<id> 0 </id><fichier> \x1b[31mred\x1b[0m.bin </fichier>\n");
  s.write("q\r.bin", repeat(0.5, 1023));
  testing::TerminalSink tty;
  EXPECT_EQ(compare(s.store(), tty, "../q\r.bin"), 0);
  EXPECT_EQ(tty.out_text(),
            "Requête : ../q\\x0d.bin\n"
            "Une ressemblance à été trouvée dans \\x1b[31mred\\x1b[0m.bin à l'instant : 0.064000s  \n\n"
            "Trouvé dans \\x1b[31mred\\x1b[0m.bin postiton :  0.064000s  0.128000s\n\n");
  output::StringSink pipe;
  EXPECT_EQ(compare(s.store(), pipe, "../q\r.bin"), 0);
  EXPECT_EQ(pipe.out_text(),
            "Requête : ../q\r.bin\n"
            "Une ressemblance à été trouvée dans \x1b[31mred\x1b[0m.bin à l'instant : 0.064000s  \n\n"
            "Trouvé dans \x1b[31mred\x1b[0m.bin postiton :  0.064000s  0.128000s\n\n");
}

}  // namespace
}  // namespace sound
