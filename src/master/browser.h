#pragma once
// The code-table browser: one dialog over any of the six code tables, opened from the menu to
// look through a table and add, change or mark its records, or from an entry field that must
// hold a code, to pick one.
//
// Each call makes its own browser, so a lookup opened from an editor that was itself opened
// from a browser leaves the outer browser as it was.

#include <functional>
#include <string>
#include <string_view>

#include "code_tables.h"
#include "data/context.h"

class QWidget;

namespace blend {

class Dialog;
class PictureEdit;
class Table;
class TableGrid;
class Workspace;

enum class BrowseMode { Menu = 1, Lookup = 2 };

// Writes a code (CP874, the code field's full width) into the caller's entry field and shows it.
using SetCodeField = std::function<void(const std::string& code)>;

// Menu mode (value empty, no field): browses the table and closes every open table afterwards;
// answers whether the browser could open. Lookup mode: a value that is a full code of the table
// goes into the field at once; otherwise the browser opens on the codes that begin with it and
// the chosen code goes into the field. Answers true when the field now holds a code of the
// table, false when the operator cancelled (the field gets back what it held). Either way the
// caller's table is current again afterwards.
bool POPCODE(Context& ctx, Workspace& tables, BrowseMode mode, int tableNo, std::string_view value,
             const SetCodeField& field = {}, std::string_view callerTable = {},
             bool editingAllowed = true, QWidget* parent = nullptr);

// After an editor appended a record: the grid's cursor row where the new record stands in code
// order (as far down as the grid shows), the grid redrawn. Counting back stops at a record whose
// code expression does not begin with the prefix; every caller passes an empty prefix.
void BROWADJ(TableGrid& grid, std::string_view codeExpression, std::string_view prefix);

// One open browser: its table, mode, texts and the dialog's controls.
class CodeBrowser {
 public:
  enum Action { Search = 1, Select, Add, Edit, Mark, Top, Bottom };

  CodeBrowser(Context& ctx, Workspace& tables, const CodeTable& table, BrowseMode mode,
              bool editingAllowed);
  ~CodeBrowser();

  // Shows the dialog standing on the table's current record with the filter text; answers
  // whether a row was selected (lookup mode).
  bool exec(const std::string& filter, QWidget* parent);

  // One button's action, with the Enter key's select meaning suspended meanwhile.
  void POPFUNC(int action);

  void CSELECT();
  void CFILTER();
  void CSEARCH();
  void CDELETE();
  void CEDIT(bool adding);
  void CGOTOP();
  void goBottom();

 private:
  void build(QWidget* parent);
  void redraw();
  void onEnter();
  bool canAdd() const;
  bool canEdit() const;
  bool canMark() const;
  Table& table() const;

  Context& ctx_;
  Workspace& tables_;
  const CodeTable& codeTable_;
  BrowseMode mode_;
  bool editingAllowed_;
  int rights_;
  std::string filter_;  // 20 characters
  std::string search_;  // 20 characters
  bool selected_ = false;
  bool enterSelects_ = true;

  Dialog* dialog_ = nullptr;
  TableGrid* grid_ = nullptr;
  PictureEdit* filterEdit_ = nullptr;
  PictureEdit* searchEdit_ = nullptr;
};

}  // namespace blend
