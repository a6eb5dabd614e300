#include <string>

#include <gtest/gtest.h>

#include "image/describe.h"
#include "image/score.h"

using namespace image;

namespace {

// An image of `lines` x `columns` pixels all of one value (grey) or colour.
std::string uniform(int lines, int columns, int kind, int value) {
  std::string s = std::to_string(lines) + " " + std::to_string(columns) + " " +
                  std::to_string(kind) + "\n";
  for (int k = 0; k < lines * columns * kind; ++k) s += std::to_string(value) + " ";
  return s;
}

DescripteurImage describe(const std::string& bytes, int id = 0) {
  Description d = describeImage(bytes, "p", ParamBits{});
  EXPECT_EQ(d.outcome, ImageLue::Outcome::kRead);
  d.descripteur.id = id;
  return d.descripteur;
}

}  // namespace

TEST(ImageScore, IntersectionAndDenominators) {
  // Grey 2x2 query against a 4x4 base image of the same value: 4 / 16.
  const DescripteurImage q = describe(uniform(2, 2, 1, 200));
  const DescripteurImage big = describe(uniform(4, 4, 1, 201), 5);
  const RequeteImage rq(q);
  EXPECT_EQ(rq.intersection(big), 4u);
  const Resultat r = comparaisonNB(rq, big);
  EXPECT_EQ(r.id, 5);
  EXPECT_EQ(r.score, 25);
  // Colour, the same sizes: the denominator is the query's pixel count.
  const DescripteurImage qc = describe(uniform(2, 2, 3, 7));
  const DescripteurImage bigc = describe(uniform(4, 4, 3, 7));
  EXPECT_EQ(comparaisonRGB(RequeteImage(qc), bigc).score, 100);
  EXPECT_EQ(comparaisonRGB(RequeteImage(bigc), qc).score, 25);
  // Itself: 100; disjoint: 0.
  EXPECT_EQ(comparaisonNB(rq, q).score, 100);
  EXPECT_EQ(comparaisonNB(rq, describe(uniform(2, 2, 1, 0))).score, 0);
}

TEST(ImageScore, HalfUpRounding) {
  EXPECT_EQ(pourcentage(1, 8), 13);  // 12.5
  EXPECT_EQ(pourcentage(7, 200), 4);  // 3.5
  // Exact halves that the quotient taken first (sum / den * 100) would round
  // down: 23/40 is 57.5 % and 29/200 is 14.5 %, but 0.575 * 100 gives
  // 57.49999... in double. The product comes first, so they round up.
  EXPECT_EQ(pourcentage(23, 40), 58);
  EXPECT_EQ(pourcentage(29, 200), 15);
  EXPECT_EQ(pourcentage(113, 200), 57);
  EXPECT_EQ(pourcentage(1, 3), 33);
  EXPECT_EQ(pourcentage(2, 3), 67);
  EXPECT_EQ(pourcentage(0, 5), 0);
  EXPECT_EQ(pourcentage(5, 5), 100);
  EXPECT_EQ(pourcentage(1, 0), 0);
  EXPECT_EQ(pourcentage(4000000000u, 1), 100);  // a malformed base cannot push it past 100
  // A colour query of 2 x 4 pixels sharing one pixel with the base image: 13.
  const DescripteurImage q = describe("2 4 3  0 0 0 0 0 0 0 255  0 0 0 0 0 0 0 255  0 0 0 0 0 0 0 255");
  const DescripteurImage d = describe("1 1 3 255 255 255");
  EXPECT_EQ(comparaisonRGB(RequeteImage(q), d).score, 13);
}

TEST(ImageScore, MalformedBaseEntriesAreIgnoredSafely) {
  const DescripteurImage q = describe(uniform(2, 2, 1, 200));  // value 12, count 4
  DescripteurImage d;
  d.nbcolonne = 2;
  d.nbligne = 2;
  d.nbvaleur = 4;
  d.histo.valeurs = {-1, 12, 40000, 12};
  d.histo.occurrences = {4, -3, 4};  // fewer counts than values
  EXPECT_EQ(RequeteImage(q).intersection(d), 0u);
  d.histo.occurrences = {4, 3, 4, 1};
  EXPECT_EQ(RequeteImage(q).intersection(d), 4u);
}
