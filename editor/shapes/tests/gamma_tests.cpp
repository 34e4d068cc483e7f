#include <gtest/gtest.h>

#include <set>

#include "editor/shapes/gamma.h"

namespace {

TEST(GammaCorrect, ReferencePoints) {
  const struct {
    int in, out;
  } rows[] = {
      {0, 0},     {1, 4},     {2, 9},     {8, 32},    {16, 56},   {32, 92},   {64, 139},  {100, 173},
      {128, 193}, {192, 228}, {200, 232}, {250, 252}, {253, 253}, {254, 253}, {255, 253},
  };
  for (const auto& row : rows) EXPECT_EQ(GammaCorrect(static_cast<BYTE>(row.in)), row.out) << "v = " << row.in;
}

TEST(GammaCorrect, TakesOneHundredSeventyEightValuesRisingNeverPast253) {
  std::set<int> values;
  int previous = -1;
  for (int v = 0; v < 256; ++v) {
    int out = GammaCorrect(static_cast<BYTE>(v));
    EXPECT_GE(out, previous) << "the curve never falls, at v = " << v;
    EXPECT_LE(out, 253);
    previous = out;
    values.insert(out);
  }
  EXPECT_EQ(values.size(), 178u);
}

TEST(GammaCorrect, ScaleIsTheSinglePrecisionQuotient) {
  // The double quotient is 223.13924...; the float holding it is a little
  // smaller, which is what keeps 255 from reaching 254.
  EXPECT_EQ(GammaScale(), 223.1392364501953f);
  EXPECT_EQ(static_cast<double>(GammaScale()), 223.1392364501953125);
}

}  // namespace
