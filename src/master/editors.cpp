#include "editors.h"

#include <QBoxLayout>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <vector>

#include "browser.h"
#include "code_search.h"
#include "code_tables.h"
#include "data/rights.h"
#include "data/table/access.h"
#include "data/table/dbf_table.h"
#include "data/table/workspace.h"
#include "data/text_util.h"
#include "editor_parts.h"
#include "formula_editor.h"
#include "shell/rights_dialogs.h"
#include "ui/dialog.h"
#include "ui/picture_button.h"
#include "ui/picture_edit.h"
#include "ui/table_grid.h"
#include "ui/text.h"

namespace blend {
namespace {

// One row of an editor: a label and the field it edits. Rows without a label continue the
// row above (the second address line under the first).
struct EditorRow {
  const char* label;  // UTF-8; nullptr for a continuation
  const char* field;
};

// What distinguishes the editors. The first row is the code, the second the name.
struct EditorForm {
  const char* titleAdding;
  const char* titleEditing;
  std::vector<EditorRow> rows;
  bool blankLink;              // LINK is written as a blank, so the record goes out again
  const char* codeExpression;  // for the grid's row after an append
  bool userButtons = false;    // password and rights, for a holder of full user-table rights
};

QString controlName(const char* field) {
  return QString::fromLatin1(field).toLower();
}

void editRecord(Context& ctx, Workspace& tables, TableGrid& grid, bool adding,
                const EditorForm& form) {
  Table* current = tables.current();
  if (!current) return;
  Table& t = *current;
  const std::uint32_t remembered = t.recNo();
  bool saved = false;
  if (!standOnEditedRecord(ctx, t, adding)) return;

  Dialog dialog(fromUtf8(adding ? form.titleAdding : form.titleEditing), &grid);
  auto* rows = new QGridLayout;
  std::vector<std::pair<int, PictureEdit*>> edits;  // field index, its entry
  std::string codeAtOpen;
  int row = 0;
  for (const EditorRow& r : form.rows) {
    const int index = t.fieldIndex(r.field);
    if (index < 0) continue;
    const Field& f = t.fields()[static_cast<std::size_t>(index)];
    const bool isCode = edits.empty();
    const bool numeric = f.type == 'N';
    const QString picture = isCode ? QStringLiteral("@!") : numeric ? numberPicture(f) : QString();
    PictureEdit* edit =
        dialog.addEdit(controlName(r.field), picture, QRect(), numeric ? 0 : f.width);
    if (numeric)
      edit->setNumber(t.field(index).number());
    else
      edit->setBytes(std::string(t.rawField(index)));
    edit->setMinimumWidth(QFontMetrics(edit->font()).horizontalAdvance(QLatin1Char('W')) *
                              std::min(f.width, 40) / 2 +
                          16);
    if (r.label) {
      QLabel* label = dialog.addLabel(controlName(r.field) + QStringLiteral("Label"),
                                      fromUtf8(r.label), QRect());
      rows->addWidget(label, row, 0);
    }
    rows->addWidget(edit, row++, 1);
    if (isCode) {
      codeAtOpen = std::string(t.rawField(index));
      edit->setValid([&ctx, &t, edit, &codeAtOpen, width = f.width] {
        std::string code = edit->bytes();
        if (trim(code).empty()) return false;
        code.resize(static_cast<std::size_t>(width), ' ');
        return CODCHK(ctx, t, codeAtOpen, code);
      });
    } else if (edits.size() == 1) {
      edit->setValid([edit] { return !trim(edit->bytes()).empty(); });
    }
    edits.emplace_back(index, edit);
  }

  const auto button = [&](const char* name, const char* picture, const char* tooltip,
                          std::function<void()> onClick) {
    return editorButton(dialog, name, picture, tooltip, std::move(onClick));
  };
  std::vector<QWidget*> buttons;
  buttons.push_back(button("save", ".\\library\\PopSave.bmp", "บันทึกข้อมูลนี้", [&] {
    // Every field is checked as if left, so a code another record holds is never written. With
    // no code there is nothing to write and nothing to check.
    if (!edits.empty() && !trim(edits.front().second->bytes()).empty()) {
      std::vector<PictureEdit*> fields;
      for (const auto& entry : edits) fields.push_back(entry.second);
      if (!leaveInTurn(fields)) return;
    }
    saved = true;
    dialog.accept();
  }));
  if (form.userButtons && !adding && rightsLevel(ctx.settings.CTRUSTEE, 6) == 6) {
    buttons.push_back(button("password", ".\\library\\PopPass.bmp", "กำหนดรหัสผ่าน",
                             [&] { PASSUSER(ctx, tables, &dialog); }));
    buttons.push_back(button("rights", ".\\library\\PopRight.bmp", "กำหนดอำนาจ",
                             [&] { TRUSTEE(ctx, tables, &dialog); }));
  }
  QWidget* cancel =
      button("cancel", ".\\library\\PopCan.bmp", "ยกเลิกการทำงาน", [&] { dialog.reject(); });
  PictureEdit::setSkipsValidation(cancel);
  buttons.push_back(cancel);

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(rows);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  for (QWidget* b : buttons) buttonRow->addWidget(b);
  buttonRow->addStretch();
  layout->addLayout(buttonRow);
  if (!edits.empty()) edits.front().second->setFocus();

  dialog.exec();

  PictureEdit* code = edits.empty() ? nullptr : edits.front().second;
  if (saved && code && !trim(code->bytes()).empty()) {
    tables.select(t);
    const auto assign = [&](Table& record) {
      for (const auto& [index, edit] : edits) {
        const Field& f = record.fields()[static_cast<std::size_t>(index)];
        if (f.type == 'N')
          record.setField(index, Value(edit->number()));
        else
          record.setField(index, Value(edit->bytes()));
      }
      if (form.blankLink) record.setField("LINK", Value(std::string(" ")));
    };
    if (adding) {
      if (writeAppend(ctx, tables, assign)) BROWADJ(grid, form.codeExpression, "");
    } else {
      writeUpdate(ctx, tables, assign);
    }
  } else {
    t.goTo(remembered);
  }
  grid.refresh();
}

const EditorForm kCompany{"  เพิ่มข้อมูลรหัสบริษัท",
                          "  แก้ไขข้อมูลรหัสบริษัท",
                          {{"รหัสบริษัท", "CODE"},
                           {"ชื่อบริษัท", "NAME"},
                           {"ที่อยู่", "ADDR1"},
                           {nullptr, "ADDR2"},
                           {"สถานที่ส่ง", "PLACE1"},
                           {nullptr, "PLACE2"},
                           {"หมายเหตุ", "REMARKS"}},
                          true,
                          "company->code"};

const EditorForm kRawMat{
    "  เพิ่มข้อมูลรหัสวัตถุดิบ",
    "  แก้ไขข้อมูลรหัสวัตถุดิบเดิม",
    {{"รหัสวัตถุดิบ", "CODE"}, {"ชื่อวัตถุดิบ", "NAME"}, {"ราคาต้นทุน", "COST"}, {"หมายเหตุ", "REMARKS"}},
    true,
    "RAWMAT->code"};

const EditorForm kUsers{"  เพิ่มข้อมูลรหัสพนักงานใหม่",
                        "  แก้ไขข้อมูลรหัสพนักงานใหม่",
                        {{"รหัสพนักงาน", "CODE"}, {"ชื่อพนักงาน", "NAME"}},
                        false,
                        "Userlist->code",
                        true};

const EditorForm kReports{"  เพิ่มข้อมูลรหัสรายงานใหม่",
                          "  แก้ไขข้อมูลรหัสรายงานเดิม",
                          {{"รหัสรายงาน", "CODE"}, {"ชื่อรายงาน", "NAME"}},
                          false,
                          "RepList->code"};

const EditorForm kUnits{"  เพิ่มข้อมูลรหัสหน่วยนับ",
                        "  แก้ไขข้อมูลรหัสหน่วยนับ",
                        {{"รหัสหน่วยนับ", "CODE"}, {"ชื่อหน่วยนับ", "NAME"}, {"จำนวน(Kg.)", "QTY"}},
                        true,
                        "Unit->code"};

}  // namespace

void CEDIT01(Context& ctx, Workspace& tables, TableGrid& grid, bool adding) {
  editRecord(ctx, tables, grid, adding, kCompany);
}
void CEDIT02(Context& ctx, Workspace& tables, TableGrid& grid, bool adding) {
  editRecord(ctx, tables, grid, adding, kRawMat);
}
void CEDIT04(Context& ctx, Workspace& tables, TableGrid& grid, bool adding) {
  editRecord(ctx, tables, grid, adding, kUsers);
}
void CEDIT05(Context& ctx, Workspace& tables, TableGrid& grid, bool adding) {
  editRecord(ctx, tables, grid, adding, kReports);
}
void CEDIT06(Context& ctx, Workspace& tables, TableGrid& grid, bool adding) {
  editRecord(ctx, tables, grid, adding, kUnits);
}

CodeEditor editorOf(int tableNo) {
  switch (tableNo) {
    case kCompanyTable:
      return CEDIT01;
    case kRawMatTable:
      return CEDIT02;
    case kFormulaTable:
      return CEDIT03;
    case kUserTable:
      return CEDIT04;
    case kReportTable:
      return CEDIT05;
    case kUnitTable:
      return CEDIT06;
    default:
      return nullptr;
  }
}

}  // namespace blend
