#pragma once
// Pictures of an installation, named the station's way (".\library\Process.bmp").

#include <QPixmap>
#include <string_view>

namespace blend {

// The picture, or a null pixmap when the file is missing or unreadable: a missing picture
// leaves its area empty and is never an error.
QPixmap loadPicture(std::string_view stationPath);

}  // namespace blend
