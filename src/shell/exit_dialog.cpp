#include "exit_dialog.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/dialog.h"

namespace blend {

bool FINISH(QWidget* parent) {
  Dialog dialog(QStringLiteral("  ออกจากโปรแกรม"), parent);
  QLabel* picture =
      dialog.addPicture("picture", ".\\library\\goodbye.bmp", QRect(0, 0, 175, 125));
  picture->setFixedSize(175, 125);
  QLabel* question = dialog.addLabel("question", QStringLiteral("คุณต้องการออกจากโปรแกรม"),
                                     QRect(), Qt::AlignCenter);
  QPushButton* ok = dialog.addButton("ok", QStringLiteral("&ตกลง"), QRect(),
                                     [&] { dialog.accept(); }, ButtonRole::Default);
  QPushButton* cancel = dialog.addButton("cancel", QStringLiteral("&ยกเลิก"), QRect(),
                                         [&] { dialog.reject(); }, ButtonRole::Cancel);
  // Buttons are 50 x 24 at the least and grow with the configured screen font.
  for (QPushButton* button : {ok, cancel}) button->setMinimumSize(50, 24);

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(picture, 0, Qt::AlignHCenter);
  layout->addWidget(question);
  layout->addLayout(centredRow({ok, cancel}));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace blend
