#pragma once
// What the code-table browser and the editors do to a code table, without a window: going to a
// code, searching within the codes that begin with a prefix, the code uniqueness test, marking
// and unmarking, and where a record stands among the rows of a grid.

#include <functional>
#include <string>
#include <string_view>

#include "data/context.h"

namespace blend {

class Table;
class Workspace;

// The text with every blank taken out.
std::string withoutBlanks(std::string_view text);

// Stands on the first code that begins with the filter (upper-cased, blanks taken out; the empty
// filter finds the first record). Not found: back to where the table stood, and the operator is
// told. Answers whether it was found.
bool goToCode(Context& ctx, Table& table, std::string_view filter);

// From the record after the current one, forward through the codes that begin with the trimmed
// filter, the first whose code followed by its name holds the search text (upper-cased,
// trimmed). Not found: the operator is told and the table goes back. An empty search text does
// nothing. Answers whether the table moved to a match.
bool searchWithinFilter(Context& ctx, Table& table, std::string_view filter,
                        std::string_view search);

// True when `newCode` may be stored in the record being edited: it is the code the record had
// when the editor opened, or no record of the table (marked deleted or not) has it. The table
// stays where it was.
bool CODCHK(Context& ctx, Table& table, std::string_view codeAtOpen, std::string_view newCode);

// Asks, then sets or clears the deletion mark of the current record of the workspace's current
// table, waiting for its lock. Answers whether the mark changed.
bool toggleDeletionMark(Context& ctx, Workspace& tables);

// The row (from 1) on which the current record shows in a grid of `rows` rows when as many
// records as fit above it are shown: its place in the table's order, at most `rows`. Counting
// back stops at a record for which `belongs` is false. The table stays where it was.
int rowInGrid(Table& table, int rows, const std::function<bool(Table&)>& belongs);

}  // namespace blend
