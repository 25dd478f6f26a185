#include "workspace.h"

#include "data/text_util.h"
#include "table_errors.h"

namespace blend {

TableScope::Lookup lookupField(Table* table, std::string_view name, Value& out) {
  if (!table || !table->isOpen()) return TableScope::Lookup::NoTable;
  const int i = table->fieldIndex(name);
  if (i < 0) return TableScope::Lookup::NoField;
  out = table->field(i);
  return TableScope::Lookup::Found;
}

TableState stateOf(Table& table) {
  TableState s;
  s.deleted = table.deleted();
  s.recno = table.recNo();
  s.reccount = table.recCount();
  s.eof = table.eof();
  s.bof = table.bof();
  s.found = table.found();
  return s;
}

namespace {

class TableAsCurrent : public TableScope {
 public:
  TableAsCurrent(Workspace& ws, Table& table) : ws_(ws), table_(table) {}
  Lookup field(std::string_view alias, std::string_view name, Value& out) override {
    if (alias.empty()) return lookupField(&table_, name, out);
    return ws_.field(alias, name, out);
  }
  std::optional<TableState> state() override { return stateOf(table_); }

 private:
  Workspace& ws_;
  Table& table_;
};

}  // namespace

Workspace::Workspace(ErrorHandler& errors, KeyCompiler keys)
    : errors_(errors), keys_(std::move(keys)) {}

Workspace::~Workspace() { closeAll(); }

void Workspace::setKeyCompiler(KeyCompiler keys) {
  keys_ = std::move(keys);
  for (Slot& s : slots_)
    if (s.table) s.table->setKeyCompiler(keys_);
}

int Workspace::find(std::string_view alias) const {
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].table && equalsIgnoringCase(slots_[i].alias, alias)) return static_cast<int>(i);
  return -1;
}

std::string Workspace::aliasOf(const Table* table) const {
  for (const Slot& s : slots_)
    if (s.table.get() == table) return s.alias;
  return {};
}

Table* Workspace::open(const std::filesystem::path& path, std::string_view alias, OpenMode mode) {
  std::size_t index;
  if (const int existing = find(alias); existing >= 0) {
    closeSlot(static_cast<std::size_t>(existing));
    index = static_cast<std::size_t>(existing);
  } else {
    index = slots_.size();
    for (std::size_t i = 0; i < slots_.size(); ++i)
      if (!slots_[i].table) {
        index = i;
        break;
      }
    if (index == slots_.size()) slots_.emplace_back();
  }
  auto table = std::make_unique<Table>(errors_, keys_);
  if (!table->open(path, mode)) return nullptr;
  slots_[index].alias = std::string(alias);
  slots_[index].table = std::move(table);
  current_ = static_cast<int>(index);
  return slots_[index].table.get();
}

void Workspace::closeSlot(std::size_t index) {
  Slot& slot = slots_[index];
  if (!slot.table) return;
  for (Slot& other : slots_)
    if (other.table) other.table->dropRelationsTo(slot.table.get());
  slot.table->close();
  slot.table.reset();
  slot.alias.clear();
  if (current_ == static_cast<int>(index)) current_ = -1;
}

bool Workspace::close(std::string_view alias) {
  const int i = find(alias);
  if (i < 0) return false;
  closeSlot(static_cast<std::size_t>(i));
  return true;
}

void Workspace::closeAll() {
  for (std::size_t i = 0; i < slots_.size(); ++i) closeSlot(i);
  slots_.clear();
  current_ = -1;
}

Table* Workspace::table(std::string_view alias) const {
  const int i = find(alias);
  return i < 0 ? nullptr : slots_[static_cast<std::size_t>(i)].table.get();
}

Table* Workspace::current() const {
  return current_ < 0 ? nullptr : slots_[static_cast<std::size_t>(current_)].table.get();
}

std::string Workspace::currentAlias() const {
  return current_ < 0 ? std::string() : slots_[static_cast<std::size_t>(current_)].alias;
}

bool Workspace::select(std::string_view alias) {
  const int i = find(alias);
  if (i < 0) {
    ErrorRecord e;
    e.genCode = errc::kNoAlias;
    e.subsystem = "BASE";
    e.subCode = 1002;
    e.description = "Alias does not exist";
    e.operation = std::string(alias);
    e.canDefault = true;
    errors_.raise(e);
    return false;
  }
  current_ = i;
  return true;
}

void Workspace::select(const Table& table) {
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].table.get() == &table) current_ = static_cast<int>(i);
}

void Workspace::unlockAll() {
  for (Slot& s : slots_)
    if (s.table) s.table->unlockRecords();
}

bool Workspace::commitAll() {
  bool ok = true;
  for (Slot& s : slots_)
    if (s.table) ok = s.table->commit() && ok;
  return ok;
}

bool Workspace::setRelation(std::string_view parent, std::string_view child,
                            std::string_view keyText) {
  Table* p = table(parent);
  Table* c = table(child);
  if (!p || !c) {
    select(!p ? parent : child);  // reports the alias that is not open
    return false;
  }
  return p->setRelation(*c, keyText);
}

void Workspace::clearRelations(std::string_view parent) {
  if (Table* p = table(parent)) p->clearRelations();
}

std::vector<Workspace::Area> Workspace::areas() const {
  std::vector<Area> out;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    Table* t = slots_[i].table.get();
    if (!t) continue;
    Area a;
    a.number = static_cast<int>(i) + 1;
    a.alias = slots_[i].alias;
    a.current = current_ == static_cast<int>(i);
    a.recno = t->recNo();
    a.reccount = t->recCount();
    a.bof = t->bof();
    a.eof = t->eof();
    a.keyExpression = t->indexExpression();
    a.indexPath = t->indexPath();
    for (const Table::RelationInfo& r : t->relations())
      a.relations.push_back({r.expression, aliasOf(r.child)});
    out.push_back(std::move(a));
  }
  return out;
}

TableScope::Lookup Workspace::field(std::string_view alias, std::string_view name, Value& out) {
  if (alias.empty()) return lookupField(current(), name, out);
  Table* t = table(alias);
  return t ? lookupField(t, name, out) : Lookup::NoAlias;
}

std::optional<TableState> Workspace::state() {
  Table* t = current();
  if (!t) return std::nullopt;
  return stateOf(*t);
}

std::unique_ptr<TableScope> Workspace::scopeFor(Table& table) {
  return std::make_unique<TableAsCurrent>(*this, table);
}

}  // namespace blend
