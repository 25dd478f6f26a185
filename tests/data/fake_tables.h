#pragma once
// A stand-in for the open tables: records as name -> value maps under aliases, one current.

#include <map>
#include <string>

#include "data/format.h"
#include "data/table_scope.h"

namespace blend::test {

class FakeTables : public TableScope {
 public:
  using Record = std::map<std::string, Value>;  // upper-case field names

  void open(const std::string& alias, Record record) { tables_[upperAscii(alias)] = std::move(record); }
  void select(const std::string& alias) { current_ = upperAscii(alias); }

  Lookup field(std::string_view alias, std::string_view name, Value& out) override {
    const std::string a = alias.empty() ? current_ : upperAscii(alias);
    auto t = tables_.find(a);
    if (t == tables_.end()) return alias.empty() ? Lookup::NoTable : Lookup::NoAlias;
    auto f = t->second.find(upperAscii(name));
    if (f == t->second.end()) return Lookup::NoField;
    out = f->second;
    return Lookup::Found;
  }
  std::optional<TableState> state() override {
    if (current_.empty()) return std::nullopt;
    return currentState;
  }

  TableState currentState;

 private:
  std::map<std::string, Record> tables_;
  std::string current_;
};

}  // namespace blend::test
