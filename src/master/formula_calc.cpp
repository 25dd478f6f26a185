#include "formula_calc.h"

#include <cmath>

#include "data/number_text.h"
#include "data/value_helpers.h"

namespace blend {
namespace {

// Part k (1 to 3) of a grade text "N-P-K".
double gradePart(std::string_view grade, int k) {
  const Value v = SPLIT(grade, k, "-", "N");
  return v.isNumber() ? v.number() : 0;
}

// The stored expressions' arithmetic: a division by zero is 0, INT cuts towards zero.
double divide(double a, double b) {
  return b == 0 ? 0 : a / b;
}
double cut(double v) {
  return std::trunc(v);
}

}  // namespace

TonneMix mixPerTonne(const Settings& settings, std::string_view grade, double compensation,
                     int fillerChoice) {
  const double n = gradePart(grade, 1) + compensation;
  const double p = gradePart(grade, 2) + compensation;
  const double k = gradePart(grade, 3) + compensation;
  const double nUrea = gradePart(settings.UREA_V, 1);
  const double nDap = gradePart(settings.DAP_V, 1);
  const double pDap = gradePart(settings.DAP_V, 2);
  const double kMop = gradePart(settings.MOP_V, 3);
  const double nAm = gradePart(settings.AM_V, 1);

  TonneMix mix;
  mix.mop = cut(divide(k * 1000, kMop));
  mix.dap = cut(divide(p * 1000, pDap));
  const double nitrogenNeeded = n - mix.dap * nDap / 1000;
  if (fillerChoice == kNoFiller) {
    // Urea and AM share what MOP and DAP leave, so that together they bring the nitrogen.
    const double rest = 1000 - mix.mop - mix.dap;
    const double ureaNitrogen = roundHalfAway(
        divide(rest * nAm * nUrea - nitrogenNeeded * nUrea * 1000, (nAm - nUrea) * 1000), 2);
    mix.urea = cut(divide(ureaNitrogen * 1000, nUrea));
    mix.am = rest - mix.urea;
  } else {
    mix.urea = cut(divide(nitrogenNeeded * 1000, nUrea));
    mix.filler = 1000 - mix.mop - mix.dap - mix.urea;
  }
  return mix;
}

void FORMCALC(const Settings& settings, std::string_view grade, double compensation,
              int fillerChoice, double batch, FormulaSlots& slots) {
  const TonneMix mix = mixPerTonne(settings, grade, compensation, fillerChoice);
  const std::string* const draws[kFormulaSlots] = {
      &settings.DRAW1, &settings.DRAW2, &settings.DRAW3, &settings.DRAW4,
      &settings.DRAW5, &settings.DRAW6, &settings.DRAW7, &settings.DRAW8};
  const double perTonne[5] = {mix.urea, mix.dap, mix.mop, mix.am, mix.filler};
  for (int i = 0; i < kFormulaSlots; ++i) {
    FormulaSlot& s = slots[static_cast<std::size_t>(i)];
    s.agg = *draws[i];
    s.agg.resize(10, ' ');
    if (i < 5) s.qty = perTonne[i] * batch / 1000;
    for (double* setPoint : {&s.big, &s.fast, &s.slow})
      if (*setPoint > s.qty) *setPoint = 0;
  }
}

}  // namespace blend
