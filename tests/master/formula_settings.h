#pragma once
// The formula settings the formula tests start from.

#include "data/settings.h"

namespace blend::test {

// The formula settings of a fresh installation: the straight fertilisers' grades and the
// materials of the eight slots.
inline void useDefaultFormulaSettings(Settings& settings) {
  settings.NPK_V = "15-15-15";
  settings.PER_V = "0.2";
  settings.UREA_V = "46-00-00";
  settings.DAP_V = "18-46-00";
  settings.MOP_V = "00-00-60";
  settings.AM_V = "21-00-00";
  settings.FIL_V = "00-00-00";
  settings.DRAW1 = "UREA";
  settings.DRAW2 = "DAP";
  settings.DRAW3 = "MOP";
  settings.DRAW4 = "AM";
  settings.DRAW5 = "FILLER";
  settings.DRAW6 = settings.DRAW7 = settings.DRAW8 = "-";
}

}  // namespace blend::test
