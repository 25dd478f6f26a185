// The test panel's window: nine status lines and two buttons over IOSTART.
#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "control/io_test.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace blend {

void IOTEST(Context& context, QWidget* parent) {
  if (!plantControlEnabled(context)) return;

  PlantBus bus(context);
  Dialog dialog(QStringLiteral("  ส่วนทดสอบการควบคุม"), parent);
  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QLabel* lines[9];
  for (int i = 0; i < 9; ++i) {
    lines[i] = dialog.addLabel(QStringLiteral("line%1").arg(i + 1),
                               fromUtf8(testPanelIdleLine(i + 1)), QRect());
    lines[i]->setMinimumWidth(300);
    layout->addWidget(lines[i]);
  }

  const auto setLine = [&](int line, const std::string& text) {
    QLabel* label = lines[line - 1];
    label->setText(fromUtf8(text));
    // The test blocks this thread for up to two seconds a device: show each line as it comes.
    label->repaint();
  };
  QPushButton* start = dialog.addButton(
      "start", QStringLiteral("เริ่ม"), QRect(), [&] { IOSTART(bus, setLine); }, ButtonRole::Default);
  QPushButton* exit = dialog.addButton(
      "exit", QStringLiteral("ออก"), QRect(), [&] { dialog.accept(); }, ButtonRole::Cancel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {start, exit}) {
    button->setMinimumSize(60, 24);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  layout->addLayout(buttons);

  dialog.exec();
}

}  // namespace blend
