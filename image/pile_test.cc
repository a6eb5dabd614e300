#include "image/pile.h"

#include <gtest/gtest.h>

using namespace image;

TEST(ImageStack, LastInFirstOutAndOwnsNothing) {
  PILE<int> pile;
  INIT_PILE(&pile);
  EXPECT_NE(PILE_EST_VIDE(pile), 0);
  int a = 1, b = 2;
  EMPILE(&pile, &a);
  EMPILE(&pile, &b);
  EXPECT_EQ(PILE_EST_VIDE(pile), 0);
  int* top = nullptr;
  DEPILE(&pile, &top);
  EXPECT_EQ(top, &b);
  DEPILE(&pile, &top);
  EXPECT_EQ(top, &a);
  EXPECT_NE(PILE_EST_VIDE(pile), 0);
  EMPILE(&pile, &a);
  INIT_PILE(&pile);
  EXPECT_NE(PILE_EST_VIDE(pile), 0);
}
