#include "formula_editor.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <vector>

#include "browser.h"
#include "code_search.h"
#include "code_tables.h"
#include "data/number_text.h"
#include "data/rights.h"
#include "data/table/access.h"
#include "data/table/dbf_table.h"
#include "data/table/workspace.h"
#include "data/text_util.h"
#include "editor_parts.h"
#include "shell/rights_dialogs.h"
#include "ui/dialog.h"
#include "ui/picture_button.h"
#include "ui/picture_edit.h"
#include "ui/table_grid.h"
#include "ui/text.h"

namespace blend {
namespace {

constexpr int kSlotColumns = 7;
constexpr const char* kSlotFields[kSlotColumns] = {"AGG",  "QTY",    "BIG", "FAST",
                                                   "SLOW", "ADJUST", "FEED"};
constexpr const char* kSlotHeadings[kSlotColumns + 1] = {
    "ถังที่", "วัตถุดิบ", "จำนวน", "ชดเชยใหญ่", "ชดเชยกลาง", "ชดเชยเล็ก", "ปรับปรุง", "เวลาจ่าย"};
enum SlotColumn { kAgg, kQty, kBig, kFast, kSlow, kAdjust, kFeed };

QString slotControl(int column, int slot) {
  return QString::fromLatin1(kSlotFields[column]).toLower() + QString::number(slot);
}
std::string slotField(int column, int slot) {
  return std::string(kSlotFields[column]) + std::to_string(slot);
}

double numberOf(const Table& t, std::string_view name) {
  const Value v = t.field(name);
  return v.isNumber() ? v.number() : 0;
}

// The numeric slot columns in the order FormulaSlot holds them.
double& slotValue(FormulaSlot& s, int column) {
  switch (column) {
    case kQty:
      return s.qty;
    case kBig:
      return s.big;
    case kFast:
      return s.fast;
    case kSlow:
      return s.slow;
    case kAdjust:
      return s.adjust;
    default:
      return s.feed;
  }
}

// One open formula dialog: its buffers are the dialog's fields.
class FormulaDialog {
 public:
  FormulaDialog(Context& ctx, Workspace& tables, Table& formulas, bool adding, QWidget* parent)
      : ctx_(ctx),
        tables_(tables),
        formulas_(formulas),
        dialog_(fromUtf8(adding ? "  เพิ่มข้อมูลรหัสสูตรผสม" : "  แก้ไขข้อมูลรหัสสูตรผสมเดิม"), parent),
        unlocked_(ctx.settings.CFLOCK != "1") {
    build();
    load();
  }

  // Runs the dialog; true when it was closed by save.
  bool exec() {
    showTotal();
    dialog_.exec();
    return saved_;
  }

  std::string code() const { return edit("code")->bytes(); }

  // Every field of the buffers into the current record of the formula table.
  void assign(Table& t) const {
    t.setField("CODE", Value(edit("code")->bytes()));
    t.setField("NAME", Value(edit("name")->bytes()));
    t.setField("REMARKS", Value(edit("remarks")->bytes()));
    t.setField("TIME", Value(edit("time")->number()));
    t.setField("DISCHARGE", Value(edit("discharge")->number()));
    t.setField("CAPACITY", Value(edit("capacity")->number()));
    for (int n = 1; n <= kFormulaSlots; ++n) {
      t.setField(slotField(kAgg, n), Value(edit(slotControl(kAgg, n))->bytes()));
      for (int c = kQty; c < kSlotColumns; ++c)
        t.setField(slotField(c, n), Value(edit(slotControl(c, n))->number()));
    }
    t.setField("LINK", Value(std::string(" ")));
  }

 private:
  PictureEdit* edit(const QString& name) const { return dialog_.control<PictureEdit>(name); }

  PictureEdit* addField(const QString& name, std::string_view field, int minWidth) {
    const int index = formulas_.fieldIndex(field);
    const Field& f = formulas_.fields()[static_cast<std::size_t>(index)];
    PictureEdit* e = nullptr;
    if (f.type == 'N') {
      e = dialog_.addEdit(name, numberPicture(f), QRect());
    } else {
      e = dialog_.addEdit(name, name == u"code" ? QStringLiteral("@!") : QString(), QRect(),
                          f.width);
    }
    e->setFixedWidth(minWidth);
    return e;
  }

  void lockable(const QString& name) {
    dialog_.enableWhen(name, [this] { return unlocked_; });
  }

  void build() {
    Dialog& d = dialog_;
    // Eight slots of seven fields, the header and the calculation must fit a 1024 x 768 screen
    // in the station's large font: this dialog writes a quarter smaller.
    QFont compact = d.font();
    if (compact.pixelSize() > 0)
      compact.setPixelSize(std::max(compact.pixelSize() * 3 / 4, 12));
    else
      compact.setPointSizeF(std::max(compact.pointSizeF() * 0.75, 9.0));
    d.setFont(compact);
    // The header: code, name and remarks on the left, batch size and times on the right.
    auto* header = new QGridLayout;
    const auto headerRow = [&](int row, int col, const char* label, const QString& name,
                               std::string_view field, int width) {
      header->addWidget(d.addLabel(name + QStringLiteral("Label"), fromUtf8(label), QRect()), row,
                        col * 2);
      header->addWidget(addField(name, field, width), row, col * 2 + 1);
    };
    headerRow(0, 0, "รหัสสูตรผสม", "code", "CODE", 140);
    headerRow(1, 0, "ชื่อสูตรผสม", "name", "NAME", 280);
    headerRow(2, 0, "หมายเหตุ", "remarks", "REMARKS", 280);
    headerRow(0, 1, "ขนาดเครื่องชั่ง", "capacity", "CAPACITY", 100);
    headerRow(1, 1, "เวลาผสม", "time", "TIME", 100);
    headerRow(2, 1, "เวลาปล่อย", "discharge", "DISCHARGE", 100);
    lockable("code");
    lockable("capacity");
    edit("code")->setValid([this] {
      std::string typed = edit("code")->bytes();
      if (trim(typed).empty()) return false;
      typed.resize(codeAtOpen_.size(), ' ');
      return CODCHK(ctx_, formulas_, codeAtOpen_, typed);
    });
    edit("name")->setValid([this] { return !trim(edit("name")->bytes()).empty(); });

    // The calculation panel.
    auto* panel = new QGroupBox(QStringLiteral("ตารางคำนวณสูตรปุ๋ย"));
    auto* calc = new QGridLayout(panel);
    PictureEdit* grade = d.addEdit("grade", QStringLiteral("99-99-99"), QRect(), 8);
    PictureEdit* compensation = d.addEdit("compensation", QStringLiteral("99.99"), QRect());
    grade->setFixedWidth(100);
    compensation->setFixedWidth(70);
    auto* filler = new QRadioButton(QStringLiteral("FILLER"));
    auto* noFiller = new QRadioButton(QStringLiteral("NO FILLER"));
    d.addControl("filler", filler, QRect());
    d.addControl("noFiller", noFiller, QRect());
    auto* choice = new QButtonGroup(&d);
    choice->addButton(filler, kWithFiller);
    choice->addButton(noFiller, kNoFiller);
    filler_ = choice;
    QPushButton* run =
        d.addButton("calculate", QStringLiteral("เริ่มคำนวณ"), QRect(), [this] { calculate(); });
    calc->addWidget(d.addLabel("gradeLabel", QStringLiteral("N - P - K"), QRect()), 0, 0);
    calc->addWidget(grade, 0, 1);
    calc->addWidget(d.addLabel("compensationLabel", QStringLiteral("ค่าชดเชย(%)"), QRect()), 1, 0);
    calc->addWidget(compensation, 1, 1);
    calc->addWidget(d.addLabel("fillerLabel", QStringLiteral("FILLER"), QRect()), 2, 0);
    auto* choices = new QHBoxLayout;
    choices->addWidget(filler);
    choices->addWidget(noFiller);
    calc->addLayout(choices, 2, 1);
    calc->addWidget(d.addLabel("amLabel", QStringLiteral("AM"), QRect()), 3, 0);
    calc->addWidget(run, 3, 1);
    for (const char* name : {"grade", "compensation", "filler", "noFiller", "calculate"})
      lockable(name);

    // The slots.
    auto* slotGrid = new QGridLayout;
    slotGrid->setColumnStretch(kSlotColumns + 1, 1);
    for (int c = 0; c <= kSlotColumns; ++c)
      slotGrid->addWidget(d.addLabel(QStringLiteral("heading%1").arg(c), fromUtf8(kSlotHeadings[c]),
                                     QRect(), Qt::AlignCenter),
                          0, c);
    for (int n = 1; n <= kFormulaSlots; ++n) {
      slotGrid->addWidget(
          d.addLabel(QStringLiteral("slot%1").arg(n), QString::number(n), QRect(), Qt::AlignCenter),
          n, 0);
      for (int c = 0; c < kSlotColumns; ++c) {
        const QString name = slotControl(c, n);
        PictureEdit* e = nullptr;
        if (c == kAgg)
          e = addField(name, slotField(c, n), 130);
        else if (c == kFeed)
          e = d.addEdit(name, QStringLiteral("999.9"), QRect());
        else
          e = d.addEdit(name, QStringLiteral("999999.99"), QRect());
        if (c != kAgg) e->setFixedWidth(c == kFeed ? 70 : 100);
        slotGrid->addWidget(e, n, c + 1);
      }
      PictureEdit* agg = edit(slotControl(kAgg, n));
      agg->setValid([this, agg] { return lookUpMaterial(agg); });
      edit(slotControl(kQty, n))->setValid([this] {
        showTotal();
        return true;
      });
      lockable(slotControl(kAgg, n));
      lockable(slotControl(kQty, n));
    }

    QLabel* total = d.addLabel("total", QString(), QRect());
    PictureButton* save =
        editorButton(d, "save", ".\\library\\PopSave.bmp", "บันทึกข้อมูลนี้", [this] { save_(); });
    PictureButton* cancel = editorButton(d, "cancel", ".\\library\\PopCan.bmp", "ยกเลิกการทำงาน",
                                         [this] { dialog_.reject(); });
    PictureEdit::setSkipsValidation(cancel);
    cancel->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(cancel, &QWidget::customContextMenuRequested, &d, [this] { unlock(); });

    auto* layout = new QVBoxLayout(&d);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* top = new QHBoxLayout;
    top->addLayout(header);
    top->addWidget(panel);
    top->addStretch();
    layout->addLayout(top);
    layout->addLayout(slotGrid);
    layout->addWidget(total);
    layout->addLayout(centredRow({save, cancel}));
    edit("code")->setFocus();
  }

  void load() {
    codeAtOpen_ = std::string(formulas_.rawField("CODE"));
    edit("code")->setBytes(codeAtOpen_);
    edit("name")->setBytes(std::string(formulas_.rawField("NAME")));
    edit("remarks")->setBytes(std::string(formulas_.rawField("REMARKS")));
    edit("capacity")->setNumber(numberOf(formulas_, "CAPACITY"));
    edit("time")->setNumber(numberOf(formulas_, "TIME"));
    edit("discharge")->setNumber(numberOf(formulas_, "DISCHARGE"));
    for (int n = 1; n <= kFormulaSlots; ++n) {
      edit(slotControl(kAgg, n))->setBytes(std::string(formulas_.rawField(slotField(kAgg, n))));
      for (int c = kQty; c < kSlotColumns; ++c)
        edit(slotControl(c, n))->setNumber(numberOf(formulas_, slotField(c, n)));
    }
    // The calculation starts from the site's settings each time and is never stored.
    edit("grade")->setBytes(ctx_.settings.NPK_V);
    edit("compensation")->setNumber(VAL(ctx_.settings.PER_V));
    filler_->button(kWithFiller)->setChecked(true);
    dialog_.refreshEnabled();
  }

  FormulaSlots buffers() const {
    FormulaSlots s;
    for (int n = 1; n <= kFormulaSlots; ++n) {
      FormulaSlot& slot = s[static_cast<std::size_t>(n - 1)];
      slot.agg = edit(slotControl(kAgg, n))->bytes();
      for (int c = kQty; c < kSlotColumns; ++c)
        slotValue(slot, c) = edit(slotControl(c, n))->number();
    }
    return s;
  }

  void showTotal() { dialog_.control<QLabel>("total")->setText(FORMQTY(buffers())); }

  void calculate() {
    FormulaSlots s = buffers();
    FORMCALC(ctx_.settings, edit("grade")->bytes(), edit("compensation")->number(),
             filler_->checkedId(), edit("capacity")->number(), s);
    for (int n = 1; n <= kFormulaSlots; ++n) {
      FormulaSlot& slot = s[static_cast<std::size_t>(n - 1)];
      edit(slotControl(kAgg, n))->setBytes(slot.agg);
      for (int c : {kQty, kBig, kFast, kSlow})
        edit(slotControl(c, n))->setNumber(slotValue(slot, c));
    }
    showTotal();
  }

  // The material must be a raw material's code: the raw-material browser, without adding or
  // changing, picks one; cancelling it keeps the operator in the field.
  bool lookUpMaterial(PictureEdit* agg) {
    std::string typed = agg->bytes();
    typed.resize(10, ' ');
    return POPCODE(
        ctx_, tables_, BrowseMode::Lookup, kRawMatTable, typed,
        [agg](const std::string& code) { agg->setBytes(code); }, "FORMULA", false, &dialog_);
  }

  void save_() {
    // The code and name are checked as if left (a picture button takes no focus); without a
    // code there is nothing to write and nothing to check.
    if (!trim(code()).empty() && !leaveInTurn({edit("code"), edit("name")})) return;
    saved_ = true;
    dialog_.accept();
  }

  void unlock() {
    unlocked_ = false;
    dialog_.refreshEnabled();
    unlocked_ = FUNLOCK(ctx_, &dialog_);
    dialog_.refreshEnabled();
  }

  Context& ctx_;
  Workspace& tables_;
  Table& formulas_;
  Dialog dialog_;
  QButtonGroup* filler_ = nullptr;
  std::string codeAtOpen_;
  bool unlocked_;
  bool saved_ = false;
};

}  // namespace

QString FORMQTY(const FormulaSlots& buffers) {
  double sum = 0;
  for (const FormulaSlot& s : buffers) sum += s.qty;
  return QStringLiteral("รวม = ") + formatToPicture(QStringLiteral("9999.99"), sum).trimmed();
}

bool FUNLOCK(Context& ctx, QWidget* parent) {
  return askServiceCode(ctx, QStringLiteral("  FORMULA AUDITION"), parent);
}

void CEDIT03(Context& ctx, Workspace& tables, TableGrid& grid, bool adding) {
  Table* current = tables.current();
  if (!current) return;
  Table& formulas = *current;
  const std::uint32_t remembered = formulas.recNo();
  if (!standOnEditedRecord(ctx, formulas, adding)) return;

  FormulaDialog dialog(ctx, tables, formulas, adding, &grid);
  const bool saved = dialog.exec();
  tables.select(formulas);
  if (saved && !trim(dialog.code()).empty()) {
    const auto assign = [&](Table& t) { dialog.assign(t); };
    if (adding) {
      if (writeAppend(ctx, tables, assign)) BROWADJ(grid, "FORMULA->code", "");
    } else {
      writeUpdate(ctx, tables, assign);
    }
  } else {
    formulas.goTo(remembered);
  }
  grid.refresh();
}

}  // namespace blend
