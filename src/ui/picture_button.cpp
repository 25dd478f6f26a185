#include "picture_button.h"

#include <QStyle>

#include "picture.h"

namespace blend {

PictureButton::PictureButton(std::string_view picturePath, const QString& tooltip,
                             const QString& statusTip, QWidget* parent)
    : QToolButton(parent) {
  setToolTip(tooltip);
  setStatusTip(statusTip);
  setCursor(Qt::PointingHandCursor);
  setAutoRaise(false);
  const QPixmap pixmap = loadPicture(picturePath);
  hasPicture_ = !pixmap.isNull();
  if (hasPicture_) {
    setIcon(QIcon(pixmap));
    setIconSize(pixmap.size());
    setToolButtonStyle(Qt::ToolButtonIconOnly);
  } else {
    setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    setText(tooltip);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  }
}

}  // namespace blend
