#include "document_viewer.h"

#include <QBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <fstream>
#include <iterator>

#include "data/paths.h"
#include "ui/dialog.h"
#include "ui/text.h"

namespace blend {

bool WELMESS(const Settings& settings, QWidget* parent) {
  std::ifstream in(nativePath(settings.CDRV1, "DocFile.TXT"), std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  Dialog dialog(QStringLiteral("  VELMORA"), parent);
  QString text = fromCp874(bytes);
  text.replace("\r\n", "\n");
  QPlainTextEdit* box = dialog.addTextBox("text", text, QRect());
  box->setFixedSize(280, 240);
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QPushButton* back = dialog.addButton("back", QStringLiteral("&กลับสู่โปรแกรม"), QRect(),
                                       [&] { dialog.accept(); }, ButtonRole::DefaultAndCancel);

  auto* layout = new QVBoxLayout(&dialog);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(box);
  layout->addWidget(back, 0, Qt::AlignHCenter);
  dialog.exec();
  return false;
}

}  // namespace blend
