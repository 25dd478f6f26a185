#include "data/number_text.h"

#include <gtest/gtest.h>

namespace blend {
namespace {

TEST(NumberText, ReadsTheLeadingNumber) {
  const struct {
    const char* text;
    double value;
    int decimals;
  } cases[] = {
      {"12", 12, 0},         {"  -2", -2, 0},      {"0.5", 0.5, 1},  {"      0.50", 0.5, 2},
      {"+3.25kg", 3.25, 2},  {"1.2.3", 1.2, 1},    {"abc", 0, 0},    {"", 0, 0},
      {"-", 0, 0},           {".5", 0.5, 1},       {"7.", 7, 0},     {"12 34", 12, 0},
  };
  for (const auto& c : cases) {
    const ParsedNumber n = parseLeadingNumber(c.text);
    EXPECT_DOUBLE_EQ(n.value, c.value) << c.text;
    EXPECT_EQ(n.decimals, c.decimals) << c.text;
  }
}

TEST(NumberText, FormatsToAFixedWidthRoundingHalvesAwayFromZero) {
  const struct {
    double value;
    int width, decimals;
    const char* text;
  } cases[] = {
      {0.5, 10, 2, "      0.50"}, {1.005, 6, 2, "  1.01"}, {-1.005, 6, 2, " -1.01"},
      {2.5, 3, 0, "  3"},         {-2.5, 3, 0, " -3"},     {100, 5, 2, "*****"},
      {99.994, 5, 2, "99.99"},    {99.995, 5, 2, "*****"}, {-0.001, 5, 2, " 0.00"},
      {1234567.891, 12, 3, " 1234567.891"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formatFixed(c.value, c.width, c.decimals), c.text) << c.value;
}

TEST(NumberText, PlainTextHasNoBlanksOrTrailingZeros) {
  EXPECT_EQ(formatPlain(1), "1");
  EXPECT_EQ(formatPlain(2.5), "2.5");
  EXPECT_EQ(formatPlain(0.1), "0.1");
  EXPECT_EQ(formatPlain(-0.0), "0");
}

}  // namespace
}  // namespace blend
