#include "rights_dialogs.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "data/rights.h"
#include "data/table/access.h"
#include "data/table/dbf_table.h"
#include "data/table/workspace.h"
#include "data/text_util.h"
#include "ui/dialog.h"
#include "ui/picture_button.h"
#include "ui/picture_edit.h"
#include "ui/text.h"

namespace blend {
namespace {

// The functions whose rights the editor shows, by their index in the rights text. Positions
// past these belong to functions without an entry here; the editor carries them unchanged.
constexpr int kShownFunctions = 14;
constexpr int kFunctionsPerColumn = 7;
const std::array<QString, kShownFunctions> kFunctionLabels = {
    QStringLiteral("บันทึกข้อมูลการทำงาน"),    QStringLiteral("การทำรายงานต่างๆ"),
    QStringLiteral("ตารางรหัสบริษัท"),        QStringLiteral("ตารางรหัสวัตถุดิบ"),
    QStringLiteral("ตารางรหัสสูตรผสม"),      QStringLiteral("ตารางรหัสผู้ใช้งาน"),
    QStringLiteral("ตารางรหัสรายงาน"),      QStringLiteral("ตารางรหัสหน่วยนับ"),
    QStringLiteral("การบำรุงรักษาแฟ้มข้อมูล"),  QStringLiteral("การทำสำเนาแฟ้มข้อมูล"),
    QStringLiteral("การสั่งลบข้อมูลการทำงาน"), QStringLiteral("การอ่านข้อมูลจากสำเนา"),
    QStringLiteral("ตั้งค่าวันที่และเวลา"),      QStringLiteral("กำหนดค่าตัวแปรของระบบ"),
};

const std::array<QString, 7> kLevels = {
    QStringLiteral("0 = ไม่มีอำนาจ"),
    QStringLiteral("1 = ดู/ค้นหา"),
    QStringLiteral("2 = ดู/ค้นหา/พิมพ์"),
    QStringLiteral("3 = ดู/ค้นหา/พิมพ์/บันทึก"),
    QStringLiteral("4 = ดู/ค้นหา/พิมพ์/บันทึก/แก้ไข"),
    QStringLiteral("5 = ดู/ค้นหา/พิมพ์/บันทึก/แก้ไข/ลบ"),
    QStringLiteral("6 = อำนาจเต็มที่"),
};

constexpr int kPasswordLength = 6;
constexpr char kPasswordTitle[] = "  ส่วนการกำหนดรหัสผ่าน";

// A password as it is stored and compared: six bytes, blanks after what was typed.
std::string padPassword(std::string text) {
  text.resize(kPasswordLength, ' ');
  return text;
}

// "  CODE<separator>NAME" of the current user record, for the editor's dialog titles.
QString userTitle(const Table& users, const char* separator) {
  return QStringLiteral("  ") + fromCp874(trim(users.field("CODE").text())) +
         QString::fromUtf8(separator) + fromCp874(trim(users.field("NAME").text()));
}

// The save and cancel buttons of the editor's dialogs, centred under the fields. Cancel gets
// out even while a field refuses to be left.
QHBoxLayout* saveCancelRow(Dialog& dialog, std::function<void()> onSave) {
  PictureButton* save = dialog.addPictureButton(
      "save", ".\\library\\PopSave.bmp", QStringLiteral("บันทึกข้อมูลนี้"), QRect(), std::move(onSave));
  PictureButton* cancel =
      dialog.addPictureButton("cancel", ".\\library\\PopCan.bmp", QStringLiteral("ยกเลิกการทำงาน"),
                              QRect(), [&dialog] { dialog.reject(); });
  PictureEdit::setSkipsValidation(cancel);
  return centredRow({save, cancel});
}

// The password dialog's messages: all alerts, each announced by a short tone.
void alert(Context& context, std::string_view text) {
  context.ui.beep(900, 55);
  context.ui.message(text, kPasswordTitle, MessageKind::Warning);
}

}  // namespace

void TRUSTEE(Context& context, Workspace& tables, QWidget* parent) {
  if (!tables.select("USERLIST")) return;
  Table& users = *tables.current();
  std::string rights = normaliseRights(users.field("TRUSTEE").text());
  const std::string code = trim(users.field("CODE").text());

  Dialog dialog(userTitle(users, " : "), parent);
  auto* grid = new QGridLayout;
  grid->setColumnMinimumWidth(2, 24);  // between the two columns
  std::vector<PictureEdit*> fields;
  for (int index = 1; index <= kShownFunctions; ++index) {
    QLabel* label =
        dialog.addLabel(QStringLiteral("label%1").arg(index), kFunctionLabels[index - 1], QRect());
    PictureEdit* field =
        dialog.addEdit(QStringLiteral("right%1").arg(index), QStringLiteral("9"), QRect(), 1);
    field->setBytes(rights.substr(index - 1, 1));
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    field->setValid(
        [&context, &dialog, field] { return TRUSCHK(context, field->bytes(), &dialog); });
    label->setBuddy(field);
    const int row = (index - 1) % kFunctionsPerColumn;
    const int column = (index - 1) / kFunctionsPerColumn * 3;
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
    fields.push_back(field);
  }

  QHBoxLayout* buttons = saveCancelRow(dialog, [&] {
    if (!leaveInTurn(fields)) return;
    for (int i = 0; i < kShownFunctions; ++i) rights[i] = fields[i]->bytes().at(0);
    tables.select(users);
    const bool written =
        writeUpdate(context, tables, [&](Table& t) { t.setField("TRUSTEE", Value(rights)); });
    // The rights of the one logged in are checked from CTRUSTEE: a change to them applies
    // from the next command on, without logging in again.
    if (written && code == context.settings.CUSER) context.settings.CTRUSTEE = rights;
    dialog.accept();
  });

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  fields.front()->setFocus();
  dialog.exec();
}

bool TRUSCHK(Context& /*context*/, std::string_view digit, QWidget* parent) {
  if (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '6') return true;

  Dialog legend(QStringLiteral("  การกำหนดระดับอำนาจ"), parent);
  auto* layout = new QVBoxLayout(&legend);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // One width for every line, so the legend reads as one block.
  qsizetype width = 0;
  for (const QString& line : kLevels) width = std::max(width, line.size());
  for (int level = 0; level < static_cast<int>(kLevels.size()); ++level)
    layout->addWidget(legend.addLabel(QStringLiteral("level%1").arg(level),
                                      kLevels[level].leftJustified(width), QRect()));
  QPushButton* ok = legend.addButton(
      "ok", QStringLiteral("&ตกลง"), QRect(), [&] { legend.accept(); },
      ButtonRole::DefaultAndCancel);
  layout->addLayout(centredRow({ok}));
  legend.exec();
  return false;
}

void PASSUSER(Context& context, Workspace& tables, QWidget* parent) {
  if (!tables.select("USERLIST")) return;
  Table& users = *tables.current();

  Dialog dialog(userTitle(users, " - "), parent);
  auto* form = new QFormLayout;
  std::vector<PictureEdit*> fields;
  const std::array<std::pair<const char*, QString>, 3> entries = {{
      {"old", QStringLiteral("รหัสเ&ดิม")},
      {"new", QStringLiteral("รหัสใ&หม่")},
      {"again", QStringLiteral("&ทวนรหัสใหม่")},
  }};
  for (const auto& [name, caption] : entries) {
    QLabel* label =
        dialog.addLabel(QStringLiteral("%1Label").arg(QString::fromLatin1(name)), caption, QRect());
    PictureEdit* field =
        dialog.addEdit(QString::fromLatin1(name), QStringLiteral("@!"), QRect(), kPasswordLength);
    field->setEchoMode(QLineEdit::Password);
    field->setValid([field] { return !trim(field->bytes()).empty(); });
    form->addRow(label, field);
    fields.push_back(field);
  }
  PictureEdit* old = fields[0];
  PictureEdit* fresh = fields[1];
  PictureEdit* again = fields[2];

  QHBoxLayout* buttons = saveCancelRow(dialog, [&] {
    if (!leaveInTurn(fields)) return;
    const std::string typedNew = padPassword(fresh->bytes());
    if (typedNew != padPassword(again->bytes())) {
      alert(context, "การทวนรหัสใหม่ไม่ถูกต้อง");
      again->setFocus();
      return;
    }
    // Six blanks are a password never set: the first one is set without knowing an old one.
    const std::string stored = users.field("PASS_W").text();
    if (!trim(stored).empty() && decipherPassword(stored) != padPassword(old->bytes())) {
      alert(context, "ระบุรหัสเดิมไม่ถูกต้อง");
      old->setFocus();
      return;
    }
    tables.select(users);
    if (!writeUpdate(context, tables,
                     [&](Table& t) { t.setField("PASS_W", Value(encipherPassword(typedNew))); }))
      return;  // reported; what was typed stays for another try
    alert(context, "การเปลี่ยนรหัสใหม่เรียบร้อย");
    dialog.accept();
  });

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(form);
  layout->addLayout(buttons);
  old->setFocus();
  dialog.exec();
}

bool askServiceCode(Context& context, const QString& title, QWidget* parent) {
  Dialog dialog(title, parent);
  QLabel* label = dialog.addLabel("label", QStringLiteral("PASSWORD"), QRect());
  PictureEdit* password = dialog.addEdit("password", QStringLiteral("@!"), QRect(), 6);
  QPushButton* ok = dialog.addButton(
      "ok", QStringLiteral("OK"), QRect(), [&] { dialog.accept(); }, ButtonRole::Default);
  label->setBuddy(password);

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(password);
  layout->addLayout(row);
  layout->addLayout(centredRow({ok}));
  password->setFocus();
  dialog.exec();
  // The code changes every minute: it is taken when the dialog closes, not when it opened.
  return password->bytes() == serviceCode(context.clock);
}

bool FUNPASS(Context& context, QWidget* parent) {
  return askServiceCode(context, QStringLiteral("  AUTHORITY CHECK"), parent);
}

}  // namespace blend
