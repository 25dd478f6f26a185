#pragma once
// The six code tables as the browser and its callers know them: by number.

#include <string_view>

namespace blend {

// The numbers every caller of the browser uses.
enum CodeTableNo {
  kCompanyTable = 1,
  kRawMatTable,
  kFormulaTable,
  kUserTable,
  kReportTable,
  kUnitTable
};

struct CodeTable {
  int number;
  const char* name;         // file, alias and the name the open messages show
  const char* title;        // the browser's title (UTF-8)
  int rightsIndex;          // the digit of the user's rights that governs the table
  const char* codeHeading;  // column headings (UTF-8)
  const char* nameHeading;
};

// The table of that number; nullptr for a number that is none.
const CodeTable* codeTable(int number);

}  // namespace blend
