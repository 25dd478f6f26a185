#include "exit_dialog.h"

#include "ui/dialog.h"

namespace blend {

bool FINISH(QWidget* parent) {
  Dialog dialog(QStringLiteral("  ออกจากโปรแกรม"), parent);
  dialog.addPicture("picture", ".\\library\\goodbye.bmp", QRect(20, 10, 175, 125));
  dialog.addLabel("question", QStringLiteral("คุณต้องการออกจากโปรแกรม"), QRect(0, 140, 215, 30),
                  Qt::AlignCenter);
  dialog.addButton("ok", QStringLiteral("&ตกลง"), QRect(45, 176, 60, 28), [&] { dialog.accept(); },
                   ButtonRole::Default);
  dialog.addButton("cancel", QStringLiteral("&ยกเลิก"), QRect(110, 176, 60, 28),
                   [&] { dialog.reject(); }, ButtonRole::Cancel);
  dialog.setFixedSize(215, 214);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace blend
