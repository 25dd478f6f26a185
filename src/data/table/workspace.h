#pragma once
// The station's open tables: each under an alias (matched without regard to letter case) in a
// numbered work area, one of them current. Stored expressions see the tables through it: bare
// field names resolve against the current table, ALIAS->FIELD against the named one.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/error.h"
#include "data/table_scope.h"
#include "dbf_table.h"
#include "key_expression.h"

namespace blend {

class Workspace : public TableScope {
 public:
  explicit Workspace(ErrorHandler& errors, KeyCompiler keys = {});
  ~Workspace() override;
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  ErrorHandler& errors() { return errors_; }
  // The compiler of index keys and relation keys; open tables get it too.
  void setKeyCompiler(KeyCompiler keys);
  const KeyCompiler& keyCompiler() const { return keys_; }

  // Opens the table under alias, closing whatever was open under that alias, and makes it
  // current. Nothing when the open failed (reported; a conflicting open comes back from the
  // handler as the busy outcome).
  Table* open(const std::filesystem::path& path, std::string_view alias, OpenMode mode);
  bool close(std::string_view alias);
  void closeAll();

  Table* table(std::string_view alias) const;
  Table* current() const;
  std::string currentAlias() const;
  // Makes the table under alias current; an alias that is not open is reported.
  bool select(std::string_view alias);
  // Makes `table` (one of ours) current.
  void select(const Table& table);

  // Releases every record lock of every open table (changes are written first).
  void unlockAll();
  // Writes every pending change of every open table.
  bool commitAll();

  // parent moves -> child positioned by a key search for keyText evaluated on parent.
  bool setRelation(std::string_view parent, std::string_view child, std::string_view keyText);
  void clearRelations(std::string_view parent);

  // What the error log lists of the open tables, in area order.
  struct Area {
    int number = 0;
    std::string alias;
    bool current = false;
    std::uint32_t recno = 0;
    std::uint32_t reccount = 0;
    bool bof = false;
    bool eof = false;
    std::string keyExpression;
    std::filesystem::path indexPath;
    struct Relation {
      std::string expression;
      std::string target;
    };
    std::vector<Relation> relations;
  };
  std::vector<Area> areas() const;

  // TableScope: against the current table.
  Lookup field(std::string_view alias, std::string_view name, Value& out) override;
  std::optional<TableState> state() override;

  // A view of the workspace in which `table` is current, whatever is current in the workspace:
  // index and relation keys are evaluated against the record of the table they belong to.
  std::unique_ptr<TableScope> scopeFor(Table& table);

 private:
  struct Slot {
    std::string alias;
    std::unique_ptr<Table> table;
  };
  int find(std::string_view alias) const;
  std::string aliasOf(const Table* table) const;
  void closeSlot(std::size_t index);

  ErrorHandler& errors_;
  KeyCompiler keys_;
  std::vector<Slot> slots_;
  int current_ = -1;
};

// What a stored expression sees of one table: a field by name, and its flags.
TableScope::Lookup lookupField(Table* table, std::string_view name, Value& out);
TableState stateOf(Table& table);

}  // namespace blend
