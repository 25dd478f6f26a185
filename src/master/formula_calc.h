#pragma once
// The fertiliser calculation: how many kilograms of urea, DAP, MOP, AM and filler make one
// batch of a wanted N-P-K grade, from the grades of those straight fertilisers in the settings.

#include <array>
#include <string>
#include <string_view>

#include "data/settings.h"

namespace blend {

constexpr int kFormulaSlots = 8;

// One weigh hopper's line of a formula, as the formula editor holds it.
struct FormulaSlot {
  std::string agg;  // raw-material code, 10 characters
  double qty = 0, big = 0, fast = 0, slow = 0, adjust = 0, feed = 0;
};
using FormulaSlots = std::array<FormulaSlot, kFormulaSlots>;

enum FillerChoice { kWithFiller = 1, kNoFiller = 2 };

// Kilograms per 1000 kg of product.
struct TonneMix {
  double urea = 0, dap = 0, mop = 0, am = 0, filler = 0;
};

// The mix for one tonne of `grade` ("N-P-K") with `compensation` added to each percentage.
TonneMix mixPerTonne(const Settings& settings, std::string_view grade, double compensation,
                     int fillerChoice);

// Fills the first five slots (urea, DAP, MOP, AM, filler) with the mix for a batch of `batch` kg,
// unrounded; every slot's material from DRAW1..DRAW8; slots 6 to 8 keep their quantities; a
// BIG, FAST or SLOW set point above its slot's quantity becomes 0.
void FORMCALC(const Settings& settings, std::string_view grade, double compensation,
              int fillerChoice, double batch, FormulaSlots& slots);

}  // namespace blend
