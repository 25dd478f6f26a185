#pragma once
// The rows a demo installation starts with: users (an administrator with every right and two with
// less), customer companies, raw materials, units and reports.

#include <string>
#include <utility>
#include <vector>

#include "data/value.h"

namespace blend {

using DemoRow = std::vector<std::pair<std::string, Value>>;  // field name -> value

// The demo rows of a table (by upper-case name); none for tables the demo leaves empty.
std::vector<DemoRow> demoRows(const std::string& table);

}  // namespace blend
