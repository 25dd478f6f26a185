#pragma once
// The editors of the small code tables: companies, raw materials, users, reports and units.
// The browser opens them with the edited table current and its grid; each adds a record or
// changes the current one, and leaves the grid redrawn on the record it stands on.

#include "data/context.h"

namespace blend {

class TableGrid;
class Workspace;

void CEDIT01(Context& ctx, Workspace& tables, TableGrid& grid, bool adding);  // COMPANY
void CEDIT02(Context& ctx, Workspace& tables, TableGrid& grid, bool adding);  // RAWMAT
void CEDIT04(Context& ctx, Workspace& tables, TableGrid& grid, bool adding);  // USERLIST
void CEDIT05(Context& ctx, Workspace& tables, TableGrid& grid, bool adding);  // REPLIST
void CEDIT06(Context& ctx, Workspace& tables, TableGrid& grid, bool adding);  // UNIT

using CodeEditor = void (*)(Context&, Workspace&, TableGrid&, bool adding);

// The editor of a code table by its number (the formula editor included); nullptr for none.
CodeEditor editorOf(int tableNo);

}  // namespace blend
