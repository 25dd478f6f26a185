#include "document_viewer.h"

#include <QPlainTextEdit>
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
  QPlainTextEdit* box = dialog.addTextBox("text", text, QRect(10, 10, 280, 240));
  box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  dialog.addButton("back", QStringLiteral("&กลับสู่โปรแกรม"), QRect(80, 258, 140, 30),
                   [&] { dialog.accept(); }, ButtonRole::DefaultAndCancel);
  dialog.setFixedSize(300, 298);
  dialog.exec();
  return false;
}

}  // namespace blend
