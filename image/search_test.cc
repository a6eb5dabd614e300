#include "image/search.h"

#include <string>

#include <gtest/gtest.h>

#include "common/tokens.h"
#include "image/base.h"
#include "image/describe.h"

using namespace image;

namespace {

// Standard output on a person's terminal.
class TerminalSink : public output::StringSink {
 public:
  bool out_is_terminal() const override { return true; }
};

DescripteurImage describe(const std::string& bytes) {
  const Description d = describeImage(bytes, "p", ParamBits{});
  EXPECT_EQ(d.outcome, ImageLue::Outcome::kRead);
  return d.descripteur;
}

}  // namespace

TEST(ImageSearch, ScoresOnlyTheQueryKindLastRecordFirst) {
  std::string base = "NB_BIT_RGB: 3\nNB_BIT_NB: 4\n";
  const char* images[] = {"1 1 3 9 9 9", "2 2 1 200 200 200 200", "1 1 3 9 9 9",
                          "1 2 1 200 0", "1 1 3 0 0 0"};
  for (int id = 0; id < 5; ++id) base += creationDescripteur(describe(images[id]), id);
  base += "<id> 9 </id> <type> NB </type> <valeurs> 0x0c: 1;";  // cut short: not used

  tokens::Reader in(base);
  std::string_view head;
  for (int k = 0; k < 4; ++k) in.next(head);
  const DescripteurImage q = describe("1 1 1 200");
  const std::vector<Resultat> r = rechercheImage(in, q);
  ASSERT_EQ(r.size(), 2u);  // sized by the records scored
  EXPECT_EQ(r[0].id, 3);
  EXPECT_EQ(r[0].score, 50);
  EXPECT_EQ(r[1].id, 1);
  EXPECT_EQ(r[1].score, 25);

  tokens::Reader again(base);
  for (int k = 0; k < 4; ++k) again.next(head);
  EXPECT_EQ(rechercheImage(again, describe("1 1 3 9 9 9")).size(), 3u);
}

TEST(ImageSearch, PresentationSortsByScoreThenId) {
  const std::unordered_map<int32_t, std::string> noms = {{0, "a.txt"}, {2, "c.txt"}, {3, "d.txt"}};
  const output::StringSink sink;
  EXPECT_EQ(presenterResultats({{3, 50}, {2, 100}, {0, 50}, {7, 13}}, noms, sink),
            "Image c.txt (id 2) : 100 % de ressemblance\n"
            "Image a.txt (id 0) : 50 % de ressemblance\n"
            "Image d.txt (id 3) : 50 % de ressemblance\n"
            "Image ? (id 7) : 13 % de ressemblance\n");
  EXPECT_EQ(presenterResultats({}, noms, sink), "Aucune image du même type dans la base.\n");
}

TEST(ImageSearch, NamesWithControlBytesAreEscapedOnATerminalOnly) {
  const std::unordered_map<int32_t, std::string> noms = {{0, "a\x1b]0;x\x07.txt"}, {1, "b\\.txt"}};
  const std::vector<Resultat> resultats = {{0, 100}, {1, 50}};
  EXPECT_EQ(presenterResultats(resultats, noms, output::StringSink()),
            "Image a\x1b]0;x\x07.txt (id 0) : 100 % de ressemblance\n"
            "Image b\\.txt (id 1) : 50 % de ressemblance\n");
  EXPECT_EQ(presenterResultats(resultats, noms, TerminalSink()),
            "Image a\\x1b]0;x\\x07.txt (id 0) : 100 % de ressemblance\n"
            "Image b\\\\.txt (id 1) : 50 % de ressemblance\n");
}
