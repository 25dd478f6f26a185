#pragma once
// The formula editor: a formula's header, its eight hopper slots with set points, and the
// fertiliser calculation panel, under the formula lock.
//
// While the lock is on (CFLOCK "1") the composition (code, batch size, materials, quantities and
// the calculation) cannot be changed; the set points can, so a site can tune feeding without
// touching what the product is. A right click on cancel asks for the service code, which lifts
// the lock for this dialog only.

#include <QString>

#include "data/context.h"
#include "formula_calc.h"

class QWidget;

namespace blend {

class TableGrid;
class Workspace;

// Adds a formula or changes the current one; called with FORMULA current and the browser's grid.
void CEDIT03(Context& ctx, Workspace& tables, TableGrid& grid, bool adding);

// The total line under the slots: "รวม = " and the sum of the quantities through the picture
// "9999.99" without its leading blanks (asterisks from 10000 kg on).
QString FORMQTY(const FormulaSlots& buffers);

// Asks for the service code under "  FORMULA AUDITION"; true when it was right.
bool FUNLOCK(Context& ctx, QWidget* parent);

}  // namespace blend
