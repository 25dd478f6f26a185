// The fertiliser calculation against worked figures.
#include <gtest/gtest.h>

#include "formula_settings.h"
#include "master/formula_calc.h"

namespace blend {
namespace {

class FormulaCalc : public ::testing::Test {
 protected:
  FormulaCalc() { test::useDefaultFormulaSettings(settings); }

  std::vector<double> quantities(const FormulaSlots& s, int count = 5) {
    std::vector<double> q;
    for (int i = 0; i < count; ++i) q.push_back(s[static_cast<std::size_t>(i)].qty);
    return q;
  }

  Settings settings;
};

TEST_F(FormulaCalc, WorkedGradesPerTonne) {
  struct Case {
    const char* grade;
    double c;
    int filler;
    TonneMix want;
  };
  const Case cases[] = {
      {"15-15-15", 0.2, kWithFiller, {201, 330, 253, 0, 216}},
      {"15-15-15", 0.2, kNoFiller, {20, 330, 253, 397, 0}},
      {"16-20-00", 0.2, kWithFiller, {180, 439, 3, 0, 378}},     // the zero grade gets c too
      {"05-30-10", 0.2, kWithFiller, {-143, 656, 170, 0, 317}},  // DAP brings too much N
      {"46-00-00", 0, kWithFiller, {1000, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const TonneMix m = mixPerTonne(settings, c.grade, c.c, c.filler);
    EXPECT_EQ(m.urea, c.want.urea) << c.grade << " " << c.filler;
    EXPECT_EQ(m.dap, c.want.dap) << c.grade;
    EXPECT_EQ(m.mop, c.want.mop) << c.grade;
    EXPECT_EQ(m.am, c.want.am) << c.grade;
    EXPECT_EQ(m.filler, c.want.filler) << c.grade;
    EXPECT_EQ(m.urea + m.dap + m.mop + m.am + m.filler, 1000) << c.grade;
  }
}

TEST_F(FormulaCalc, AZeroGradeInADivisorOrEqualNitrogenGivesZeroNotAFailure) {
  settings.MOP_V = "00-00-00";
  EXPECT_EQ(mixPerTonne(settings, "15-15-15", 0.2, kWithFiller).mop, 0);
  settings.MOP_V = "00-00-60";
  settings.AM_V = "46-00-00";  // as much nitrogen as urea: urea nitrogen 0, AM takes the rest
  const TonneMix m = mixPerTonne(settings, "15-15-15", 0.2, kNoFiller);
  EXPECT_EQ(m.urea, 0);
  EXPECT_EQ(m.am, 417);
}

TEST_F(FormulaCalc, TheBatchScalesSlotsOneToFiveAndTheRestKeepTheirQuantities) {
  FormulaSlots slots;
  slots[5].qty = 12.5;
  slots[7].qty = 3;
  slots[0].big = 500;   // above the new quantity: cleared
  slots[0].fast = 400;  // not above: kept
  slots[6].slow = 1;    // above slot 7's 0
  FORMCALC(settings, "15-15-15", 0.2, kWithFiller, 2000, slots);
  EXPECT_EQ(quantities(slots, 8), (std::vector<double>{402, 660, 506, 0, 432, 12.5, 0, 3}));
  EXPECT_EQ(slots[0].agg, "UREA      ");
  EXPECT_EQ(slots[4].agg, "FILLER    ");
  EXPECT_EQ(slots[7].agg, "-         ");
  EXPECT_EQ(slots[0].big, 0);
  EXPECT_EQ(slots[0].fast, 400);
  EXPECT_EQ(slots[6].slow, 0);

  // An odd batch size: unrounded, and still the whole batch.
  FORMCALC(settings, "15-15-15", 0.2, kNoFiller, 1234, slots);
  double sum = 0;
  for (double q : quantities(slots)) sum += q;
  EXPECT_DOUBLE_EQ(sum, 1234);
  EXPECT_DOUBLE_EQ(slots[0].qty, 20 * 1.234);

  // No batch: nothing in slots 1 to 5, and every set point of those slots cleared.
  for (FormulaSlot& s : slots) s.big = s.fast = s.slow = 5;
  FORMCALC(settings, "15-15-15", 0.2, kWithFiller, 0, slots);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(slots[static_cast<std::size_t>(i)].qty, 0);
    EXPECT_EQ(slots[static_cast<std::size_t>(i)].big + slots[static_cast<std::size_t>(i)].fast +
                  slots[static_cast<std::size_t>(i)].slow,
              0);
  }
}

}  // namespace
}  // namespace blend
