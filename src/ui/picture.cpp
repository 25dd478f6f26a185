#include "picture.h"

#include <QString>

#include "data/paths.h"

namespace blend {

QPixmap loadPicture(std::string_view stationPath) {
  const QString file = QString::fromStdString(nativePath(stationPath).string());
  QPixmap pixmap;
  if (!pixmap.load(file)) return {};
  return pixmap;
}

}  // namespace blend
