#include "data/value_helpers.h"

#include <gtest/gtest.h>

#include "data/cp874.h"
#include "data/date.h"
#include "data/format.h"
#include "support/scripted_errors.h"

namespace blend {
namespace {

TEST(ValueHelpers, NumbersWithLeadingZeros) {
  EXPECT_EQ(ZERO(41, 10), "0000000041");
  EXPECT_EQ(ZERO(12345, 4), "2345");
  EXPECT_EQ(ZERO(7.9, 3), "007");
  EXPECT_EQ(ZERO(-5, 4), "00-5");
  EXPECT_EQ(ZERO(5, 0), "");
  EXPECT_EQ(ZERO2(12.34, 8, "999999.9"), "000012.3");
}

TEST(ValueHelpers, Pieces) {
  const struct {
    const char* text;
    int k;
    const char* sep;
    const char* kind;
    Value expected;
  } cases[] = {
      {"15-15-15", 2, "-", "N", Value(15.0)},  {"a|b|c", 2, "|", "C", Value("b")},
      {"a|b", 3, "|", "C", Value("")},          {"a|b|", 3, "|", "C", Value("")},
      {"x|1,5|y", 2, "|", "N", Value(15.0)},    {"1, 2.5 ,3", 2, ",", "n", Value(2.5)},
      {"a| b |c", 2, "|", "C", Value(" b ")},  {"", 1, ",", "N", Value(0.0)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SPLIT(c.text, c.k, c.sep, c.kind), c.expected) << c.text << " #" << c.k;
}

TEST(ValueHelpers, TextForUploadAndThaiDates) {
  EXPECT_EQ(TEXTTRIM("  A&B/C  "), "A-B-C");
  EXPECT_EQ(TEXTTRIM("!#$%&/:;?|~"), "-----------");
  EXPECT_EQ(cp874ToUtf8(BCYEAR(Date::fromYmd(2024, 1, 15))), "วันที่  15  มกราคม  พ.ศ.2567");
  EXPECT_EQ(cp874ToUtf8(MONTHNAME(12)), "ธันวาคม");
  EXPECT_EQ(MONTHNAME(13), "");
  EXPECT_EQ(DTOC(FIRSTDAY(Date::fromYmd(2024, 2, 17))), "01/02/2024");
  EXPECT_EQ(DTOC(LASTDAY(Date::fromYmd(2024, 2, 3))), "29/02/2024");
  EXPECT_EQ(DTOC(LASTDAY(Date::fromYmd(2023, 2, 3))), "28/02/2023");
  EXPECT_EQ(DTOC(LASTDAY(Date::fromYmd(2023, 12, 9))), "31/12/2023");
}

TEST(ValueHelpers, BitPatternsAndHexDigits) {
  EXPECT_EQ(BIN2DEC("101"), 5);
  EXPECT_EQ(BIN2DEC("1111111111"), 255);
  EXPECT_EQ(BIN2DEC(" 1x1 "), 5);
  EXPECT_EQ(DEC2BIN(5), "00000101");
  EXPECT_EQ(DEC2BIN(300), "11111111");
  EXPECT_EQ(DEC2BIN(-1), "00000000");
  EXPECT_DOUBLE_EQ(HEX2DEC("1F"), 31);
  EXPECT_DOUBLE_EQ(HEX2DEC("1f"), 16);  // lower case counts as 0
  EXPECT_EQ(HEX2BIN("F"), "00001111");
  EXPECT_EQ(HEX2BIN("7"), "00000111");
  EXPECT_EQ(SELCOLOR(true), 255u);
  EXPECT_EQ(SELCOLOR(false), 0u);
}

TEST(ValueHelpers, WaitsMeasureTheTimeOfDay) {
  test::ManualClock clock;
  clock.seconds = 1000;
  TDELAY(clock, 0.5);
  EXPECT_NEAR(clock.seconds, 1000.5, 0.011);
  clock.seconds = 86399.95;  // a wait across midnight ends as soon as the clock starts again
  class Midnight : public test::ManualClock {
   public:
    void sleep(double s) override {
      seconds += s;
      if (seconds >= 86400) seconds -= 86400;
    }
  } wrap;
  wrap.seconds = 86399.95;
  TDELAY(wrap, 2);
  EXPECT_LT(wrap.seconds, 1);
}

TEST(Dates, CalendarAndTextForms) {
  EXPECT_EQ(DTOC(CTOD("29/02/2024")), "29/02/2024");
  EXPECT_TRUE(CTOD("29/02/2023").empty());
  EXPECT_TRUE(CTOD("31/04/2024").empty());
  EXPECT_TRUE(CTOD("29/02/1900").empty());
  EXPECT_EQ(DTOC(CTOD("29/02/2000")), "29/02/2000");
  EXPECT_EQ(CTOD("01/01/69").year(), 2069);
  EXPECT_EQ(CTOD("01/01/70").year(), 1970);
  EXPECT_EQ(CTOD(" 5/ 3/24").year(), 2024);
  EXPECT_TRUE(CTOD("  /  /    ").empty());
  EXPECT_EQ(DTOC(Date()), "  /  /    ");
  EXPECT_EQ(DTOS(Date()), "        ");
  EXPECT_EQ(DTOS(STOD("20240229")), "20240229");
  EXPECT_EQ(Date::fromYmd(2024, 1, 14).dayOfWeek(), 1);  // a Sunday
  EXPECT_LT(Date(), Date::fromYmd(1, 1, 1));
}

TEST(Formats, StrAndTransform) {
  EXPECT_EQ(STR(Number{5}, 3), "  5");
  EXPECT_EQ(STR(Number{12345}, 3), "***");
  EXPECT_EQ(STR(Number{1000, 2, 10}), "   1000.00");  // a field's own width
  EXPECT_EQ(STR(Number{1000, 2}), "      1000.00");
  EXPECT_EQ(STR(Number{5}), "         5");
  EXPECT_EQ(STR(Number{1.5}), "         1.50");
  EXPECT_EQ(STR(Number{1.5, 1}), "         1.5");
  EXPECT_EQ(STR(Number{-2.5}, 5, 1), " -2.5");
  EXPECT_EQ(STRZERO(Number{-5}, 5), "-0005");
  EXPECT_EQ(STRZERO(Number{42}, 6, 1), "0042.0");

  const struct {
    double value;
    const char* picture;
    const char* shown;
  } cases[] = {
      {1234.5, "999,999.9", "  1,234.5"}, {12345.6, "9999.99", "****.**"},
      {-5, "9,999", "   -5"},            {-234, "9,999", " -234"},
      {-1234, "9,999", "*,***"},          {0.5, "999.99", "  0.50"},
      {0, "999", "  0"},                  {1234567, "999,999", "***,***"},
      {-0.004, "99.99", " 0.00"},         {12.5, "Kg 999.9", "Kg  12.5"},
      {99.95, "99.9", "**.*"},
  };
  for (const auto& c : cases) EXPECT_EQ(transformNumber(c.value, c.picture), c.shown) << c.value;
  EXPECT_EQ(TRANSFORM(Value("abc"), "@!"), "ABC");
  EXPECT_EQ(TRANSFORM(Value("ab12"), "!!-99"), "AB-12");
  EXPECT_EQ(TRANSFORM(Value(Date::fromYmd(2024, 3, 5)), ""), "05/03/2024");
  EXPECT_EQ(TRANSFORM(Value(true), ""), "T");
}

}  // namespace
}  // namespace blend
