#pragma once
// Every table of the station: its directory, fields and index key, in one place. An
// installation's tables are made from these (blendtab install); the station itself creates only
// the scratch tables.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings.h"
#include "table/dbf_header.h"

namespace blend {

enum class TableHome {
  Codes,    // CDRV1: code tables, CONSEC, templates
  Work,     // CDRV2: documents, order lines, batches
  Scratch,  // CDRV4: per-user temporary tables
};

struct TableLayout {
  std::string name;      // also the .dbf and .NTX file name
  TableHome home;
  std::string indexKey;  // empty: no index
  std::vector<FieldDef> fields;
};

// The permanent tables in the order an installation lists them.
std::span<const TableLayout> permanentLayouts();

// A permanent table's layout by name (without regard to case), or null.
const TableLayout* findLayout(std::string_view name);

// The directory a table lives in, from the settings.
const std::string& directoryOf(const Settings& settings, TableHome home);

// The one-field scratch table a template or report definition is read into (field "Code").
std::vector<FieldDef> templateLinesFields(int width);

}  // namespace blend
