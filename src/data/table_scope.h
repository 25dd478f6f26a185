#pragma once
// What stored expressions see of the open tables. The workspace of open tables implements it;
// tests use a small stand-in.

#include <optional>
#include <string_view>

#include "value.h"

namespace blend {

// The state of the current table that DELETED(), RECNO(), RECCOUNT(), EOF(), BOF() and FOUND()
// read.
struct TableState {
  bool deleted = false;
  double recno = 0;
  double reccount = 0;
  bool eof = true;
  bool bof = false;
  bool found = false;
};

class TableScope {
 public:
  enum class Lookup { Found, NoAlias, NoField, NoTable };
  virtual ~TableScope() = default;

  // The field `name` of the table open under `alias`, or of the current table when alias is
  // empty. Names match without regard to case.
  virtual Lookup field(std::string_view alias, std::string_view name, Value& out) = 0;

  // The current table's state; nothing when no table is current.
  virtual std::optional<TableState> state() = 0;
};

}  // namespace blend
