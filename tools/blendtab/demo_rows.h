#pragma once
// The rows a demo installation starts with: users (an administrator with every right and two with
// less), customer companies, raw materials, formulas, units and reports.

#include <string>
#include <utility>
#include <vector>

#include "data/settings.h"
#include "data/value.h"

namespace blend {

using DemoRow = std::vector<std::pair<std::string, Value>>;  // field name -> value

// The demo rows of a table (by upper-case name); none for tables the demo leaves empty.
// Formulas are calculated from the installation's grades of the straight fertilisers.
std::vector<DemoRow> demoRows(const std::string& table, const Settings& settings);

}  // namespace blend
