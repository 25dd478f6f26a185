#include "error_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "ui/dialog.h"

namespace blend {

ErrorChoice showErrorDialog(const ErrorDialogContent& content, std::function<void()> seeLog,
                            QWidget* parent) {
  Dialog dialog(kErrorDialogTitle, parent);
  ErrorChoice choice = ErrorChoice::Closed;

  // Plain text and no buddy: an "&" in a file name or description is shown, not taken for a
  // keyboard shortcut.
  QLabel* description =
      dialog.addLabel("description", content.descriptionLine, QRect(10, 10, 540, 20));
  description->setTextFormat(Qt::PlainText);

  auto* list = new QListWidget;
  list->addItems(content.callLines);
  if (list->count() > 0) list->setCurrentRow(0);
  QLabel* listLabel =
      dialog.addLabel("stackLabel", QStringLiteral("&Stack List"), QRect(10, 40, 200, 20));
  dialog.addButton("seeLog", QStringLiteral("See Error.log file"), QRect(400, 38, 150, 24),
                   [seeLog = std::move(seeLog)] {
                     if (seeLog) seeLog();
                   });
  dialog.addControl("stack", list, QRect(10, 66, 540, 190));
  listLabel->setBuddy(list);

  // Quit alone, or with both others, sits in the middle; with one other it goes left.
  const int others = int(content.canRetry) + int(content.canDefault);
  const QRect left(90, 270, 100, 26), middle(230, 270, 100, 26), right(370, 270, 100, 26);
  const auto answer = [&](ErrorChoice c) {
    return [&dialog, &choice, c] {
      choice = c;
      dialog.accept();
    };
  };
  dialog.addButton("quit", QStringLiteral("&Quit"), others == 1 ? left : middle,
                   answer(ErrorChoice::Quit), ButtonRole::Default);
  if (content.canRetry)
    dialog.addButton("retry", QStringLiteral("&Retry"), others == 1 ? right : left,
                     answer(ErrorChoice::Retry));
  if (content.canDefault)
    dialog.addButton("default", QStringLiteral("&Default"), right, answer(ErrorChoice::Default));

  dialog.setFixedSize(560, 308);
  QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    QRect frame = dialog.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    dialog.move(frame.topLeft());
  }
  dialog.exec();
  return choice;
}

}  // namespace blend
