#include "browser.h"

#include <QApplication>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QShortcut>
#include <memory>

#include "code_search.h"
#include "data/expr/expression.h"
#include "data/format.h"
#include "data/rights.h"
#include "data/table/access.h"
#include "data/table/dbf_table.h"
#include "data/table/workspace.h"
#include "data/text_util.h"
#include "data/value_helpers.h"
#include "editors.h"
#include "ui/dialog.h"
#include "ui/picture_button.h"
#include "ui/picture_edit.h"
#include "ui/table_grid.h"
#include "ui/text.h"

namespace blend {
namespace {

constexpr std::size_t kTextWidth = 20;  // the filter and search texts

std::string padded(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

QColor rgbColour(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

struct ButtonDef {
  const char* name;
  const char* picture;
  const char* tooltip;
  CodeBrowser::Action action;
};

constexpr ButtonDef kButtons[] = {
    {"search", ".\\library\\PopSeek.bmp", "เริ่มค้นหาข้อมูล", CodeBrowser::Search},
    {"select", ".\\library\\PopOk.bmp", "เลือกข้อมูลนี้", CodeBrowser::Select},
    {"add", ".\\library\\PopAdd.bmp", "เพิ่มรายการใหม่", CodeBrowser::Add},
    {"edit", ".\\library\\PopEdit.bmp", "แก้ไขข้อมูลนี้", CodeBrowser::Edit},
    {"mark", ".\\library\\PopDel.bmp", "ทำเครื่องหมายลบ", CodeBrowser::Mark},
    {"top", ".\\library\\PopTop.bmp", "ไปตำแหน่งบนสุด", CodeBrowser::Top},
    {"bottom", ".\\library\\PopBut.bmp", "ไปตำแหน่งล่างสุด", CodeBrowser::Bottom},
};

}  // namespace

bool POPCODE(Context& ctx, Workspace& tables, BrowseMode mode, int tableNo, std::string_view value,
             const SetCodeField& field, std::string_view callerTable, bool editingAllowed,
             QWidget* parent) {
  const CodeTable* codeTab = codeTable(tableNo);
  if (!codeTab) return false;
  const bool lookup = mode == BrowseMode::Lookup;
  const auto backToCaller = [&] {
    if (!callerTable.empty() && tables.table(callerTable)) tables.select(callerTable);
  };

  Table* table = tables.table(codeTab->name);
  if (table) {
    tables.select(*table);
  } else {
    if (!OPEN(ctx, tables, ctx.settings.CDRV1, codeTab->name, "code", false, codeTab->name,
              codeTab->name)) {
      if (lookup)
        backToCaller();
      else
        tables.closeAll();
      return false;
    }
    table = tables.current();
  }
  const auto code = [&] { return std::string(table->rawField("CODE")); };

  // A full code (trailing blanks and all) is taken as it is; a beginning of one opens the
  // browser on the first code that begins with it; anything else at the top. An empty value
  // is no code at all, though an empty key finds the first record.
  std::string filter;
  const std::string typed = upperAscii(value);
  if (!typed.empty() && table->seek(typed)) {
    if (lookup) {
      if (field) field(code());
      backToCaller();
      return true;
    }
    filter = typed;
  } else if (table->seek(withoutBlanks(typed))) {
    filter = withoutBlanks(typed);
  } else {
    table->goTop();
  }

  CodeBrowser browser(ctx, tables, *codeTab, mode, editingAllowed);
  const bool selected = browser.exec(padded(filter, kTextWidth), parent);

  if (!lookup) {
    tables.closeAll();
    return true;
  }
  if (field) field(selected ? code() : std::string(value));
  backToCaller();
  return selected;
}

void BROWADJ(TableGrid& grid, std::string_view codeExpression, std::string_view prefix) {
  Table* table = grid.table();
  if (!table) return;
  std::function<bool(Table&)> belongs;
  if (!prefix.empty()) {
    Workspace& tables = grid.tables();
    auto code = std::make_shared<Expression>(Expression::compile(codeExpression, tables.errors()));
    belongs = [&tables, code, prefix](Table&) {
      expr::Env env{tables.errors(), &tables};
      const Value v = code->evaluate(env);
      return v.isText() && v.text().starts_with(prefix);
    };
  }
  grid.setCursorRow(rowInGrid(*table, grid.rows(), belongs));
  grid.refresh();
  QApplication::processEvents();
}

CodeBrowser::CodeBrowser(Context& ctx, Workspace& tables, const CodeTable& table, BrowseMode mode,
                         bool editingAllowed)
    : ctx_(ctx),
      tables_(tables),
      codeTable_(table),
      mode_(mode),
      editingAllowed_(editingAllowed),
      rights_(rightsLevel(ctx.settings.CTRUSTEE, table.rightsIndex)),
      search_(kTextWidth, ' ') {}

CodeBrowser::~CodeBrowser() {
  delete dialog_;
}

Table& CodeBrowser::table() const {
  return *tables_.table(codeTable_.name);
}

bool CodeBrowser::canAdd() const {
  return editingAllowed_ && rights_ >= 3 && editorOf(codeTable_.number);
}
bool CodeBrowser::canEdit() const {
  return editingAllowed_ && rights_ >= 4 && editorOf(codeTable_.number);
}
bool CodeBrowser::canMark() const {
  return editingAllowed_ && rights_ >= 5;
}

void CodeBrowser::build(QWidget* parent) {
  dialog_ = new Dialog(fromUtf8(codeTable_.title), parent);
  Dialog& d = *dialog_;

  GridColours colours;
  colours.rowText = [](Table& t) { return rgbColour(SELCOLOR(t.deleted())); };
  grid_ = new TableGrid(tables_, codeTable_.name,
                        {{fromUtf8(codeTable_.codeHeading), 200,
                          [](Table& t) { return fromCp874(t.rawField("CODE")); }},
                         {fromUtf8(codeTable_.nameHeading), 400,
                          [](Table& t) { return fromCp874(t.rawField("NAME")); }}},
                        colours);
  grid_->setMinimumSize(620, grid_->heightFor(10));
  d.addControl("grid", grid_, QRect());
  QObject::connect(grid_, &TableGrid::picked, &d, [this] { POPFUNC(Select); });

  QLabel* filterLabel = d.addLabel("filterLabel", QStringLiteral("รหัส"), QRect());
  filterEdit_ = d.addEdit("filter", "@!", QRect(), static_cast<int>(kTextWidth));
  filterEdit_->setValid([this] {
    CFILTER();
    return true;
  });
  QLabel* searchLabel = d.addLabel("searchLabel", QStringLiteral("ระบุ"), QRect());
  searchEdit_ = d.addEdit("searchText", "@!", QRect(), static_cast<int>(kTextWidth));
  QLabel* count = d.addLabel("count", QString(), QRect());

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (const ButtonDef& b : kButtons) {
    PictureButton* button = d.addPictureButton(b.name, b.picture, fromUtf8(b.tooltip), QRect(),
                                               [this, action = b.action] { POPFUNC(action); });
    button->setFixedSize(44, 44);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  d.enableWhen("add", [this] { return canAdd(); });
  d.enableWhen("edit", [this] { return canEdit(); });
  d.enableWhen("mark", [this] { return canMark(); });

  auto* layout = new QVBoxLayout(&d);
  layout->addWidget(grid_, 1);
  auto* texts = new QGridLayout;
  texts->addWidget(filterLabel, 0, 0);
  texts->addWidget(filterEdit_, 0, 1);
  texts->addWidget(searchLabel, 0, 2);
  texts->addWidget(searchEdit_, 0, 3);
  texts->setColumnStretch(1, 1);
  texts->setColumnStretch(3, 1);
  layout->addLayout(texts);
  layout->addWidget(count);
  layout->addLayout(buttons);

  // Enter selects the current row wherever the operator is in the dialog, except in the two
  // text fields: there it goes to the code typed, or runs the search typed, so a code typed
  // into the filter is never answered with the row that stood there before.
  for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
    auto* enter = new QShortcut(QKeySequence(key), &d);
    enter->setContext(Qt::WindowShortcut);
    QObject::connect(enter, &QShortcut::activated, &d, [this] { onEnter(); });
  }
  d.refreshEnabled();
}

void CodeBrowser::onEnter() {
  if (!enterSelects_) return;
  QWidget* focus = QApplication::focusWidget();
  if (focus == filterEdit_) {
    if (filterEdit_->leave()) grid_->setFocus();
  } else if (focus == searchEdit_) {
    POPFUNC(Search);
  } else {
    POPFUNC(Select);
  }
}

bool CodeBrowser::exec(const std::string& filter, QWidget* parent) {
  filter_ = filter;
  build(parent);
  filterEdit_->setBytes(filter_);
  searchEdit_->setBytes(search_);
  grid_->setFocus();
  CFILTER();
  dialog_->exec();
  return selected_;
}

void CodeBrowser::redraw() {
  grid_->refresh();
  const QString count = formatToPicture(QStringLiteral("999,999,999,999"), table().recCount());
  dialog_->control<QLabel>("count")->setText(QStringLiteral("Record = ") + count.trimmed());
}

void CodeBrowser::POPFUNC(int action) {
  enterSelects_ = false;
  grid_->setFocus();
  search_ = padded(searchEdit_->bytes(), kTextWidth);
  filter_ = padded(filterEdit_->bytes(), kTextWidth);
  switch (action) {
    case Search:
      CSEARCH();
      break;
    case Select:
      CSELECT();
      break;
    case Add:
      if (codeTable_.number == kFormulaTable && ctx_.settings.CFLOCK == "1")
        ctx_.ui.message("ไม่อนุญาตให้เพิ่มสูตรผสม !", "  ส่วนการเพิ่มสูตรผสม");
      else
        CEDIT(true);
      break;
    case Edit:
      CEDIT(false);
      break;
    case Mark:
      CDELETE();
      break;
    case Top:
      CGOTOP();
      break;
    case Bottom:
      goBottom();
      break;
    default:
      break;
  }
  enterSelects_ = true;
}

void CodeBrowser::CSELECT() {
  Table& t = table();
  if (t.deleted()) {
    ctx_.ui.message("ข้อมูลถูกทำเครื่องหมายลบ !", "  ส่วนตารางรหัส");
    return;
  }
  if (mode_ == BrowseMode::Menu) {
    // Picking a row opens it for editing, so it asks for the rights the edit button asks for.
    if (canEdit() || AUTHCHK(ctx_, codeTable_.rightsIndex, 4)) CEDIT(false);
    return;
  }
  if (!t.eof()) {
    selected_ = true;
    dialog_->accept();
  }
}

void CodeBrowser::CFILTER() {
  filter_ = padded(upperAscii(filterEdit_->bytes()), kTextWidth);
  filterEdit_->setBytes(filter_);
  goToCode(ctx_, table(), filter_);
  redraw();
}

void CodeBrowser::CSEARCH() {
  if (searchWithinFilter(ctx_, table(), filter_, search_)) redraw();
}

void CodeBrowser::CDELETE() {
  tables_.select(table());
  toggleDeletionMark(ctx_, tables_);
  redraw();
}

void CodeBrowser::CEDIT(bool adding) {
  Table& t = table();
  if (!adding && (t.deleted() || t.eof())) {
    ctx_.ui.message("ไม่สามารถแก้ไขข้อมูลนี้ได้", "ส่วนทำการแก้ไขรหัสข้อมูล");
  } else if (CodeEditor editor = editorOf(codeTable_.number)) {
    tables_.select(t);
    editor(ctx_, tables_, *grid_, adding);
  }
  redraw();
}

void CodeBrowser::CGOTOP() {
  table().goTop();
  grid_->setCursorRow(1);
  redraw();
}

void CodeBrowser::goBottom() {
  table().goBottom();
  grid_->setCursorRow(grid_->rows());
  redraw();
}

}  // namespace blend
