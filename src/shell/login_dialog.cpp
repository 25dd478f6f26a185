#include "login_dialog.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include "data/rights.h"
#include "data/table/workspace.h"
#include "document_viewer.h"
#include "ui/dialog.h"
#include "ui/picture_edit.h"

namespace blend {

bool PASSWORD(Context& context, Workspace& tables, QWidget* parent) {
  Dialog dialog(QStringLiteral("  ส่วนการระบุชื่อผู้ใช้โปรแกรม"), parent);
  QLabel* picture = dialog.addPicture("picture", ".\\library\\welcome.bmp", QRect(),
                                      [&] { WELMESS(context.settings, &dialog); });
  picture->setFixedSize(225, 175);
  picture->setScaledContents(true);
  QLabel* userLabel = dialog.addLabel("userLabel", QStringLiteral("ผู้ใช้โปรแกรม"), QRect());
  PictureEdit* user = dialog.addEdit("user", "@!", QRect(), 15);
  QLabel* passwordLabel = dialog.addLabel("passwordLabel", QStringLiteral("รหัสผ่าน"), QRect());
  PictureEdit* password = dialog.addEdit("password", "@!", QRect(), 6);
  password->setEchoMode(QLineEdit::Password);
  QPushButton* ok = dialog.addButton(
      "ok", QStringLiteral("&ตกลง"), QRect(),
      [&] {
        if (USERCHK(context, tables, user->bytes(), password->bytes()))
          dialog.accept();
        else
          context.ui.message("ชื่อและรหัสผ่านไม่ถูกต้อง", "ส่วนบันทึกรหัสผ่าน", MessageKind::Warning);
      },
      ButtonRole::Default);
  QPushButton* cancel = dialog.addButton("cancel", QStringLiteral("&ยกเลิก"), QRect(),
                                         [&] { dialog.reject(); }, ButtonRole::Cancel);

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  auto* fields = new QFormLayout;
  fields->addRow(userLabel, user);
  fields->addRow(passwordLabel, password);
  layout->addLayout(fields);
  layout->addLayout(centredRow({ok, cancel}));
  user->setFocus();

  dialog.exec();
  if (!context.settings.CUSER.empty()) return true;
  tables.closeAll();
  return false;
}

}  // namespace blend
