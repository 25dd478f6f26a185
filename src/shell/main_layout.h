#pragma once
// Where the banner, the main picture and the line under it sit on a screen of a given size.
// Rows and columns count from the top left of the window's client area.

#include <QRect>

namespace blend {

struct MainLayout {
  QRect banner;   // the owner's name, 720 x 30
  QRect picture;  // MAIN.BMP, 720 x 480
  QRect line;     // the installation text under the picture, 560 x 30
};

MainLayout mainLayout(int screenWidth, int screenHeight);

}  // namespace blend
