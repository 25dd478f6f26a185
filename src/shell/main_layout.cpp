#include "main_layout.h"

namespace blend {

MainLayout mainLayout(int screenWidth, int screenHeight) {
  const int top = (screenHeight - 480) / 3;
  const int left = (screenWidth - 720) / 2;
  return {QRect(left, top - 25, 720, 30), QRect(left, top + 17, 720, 480),
          QRect((screenWidth - 560) / 2, top + 510, 560, 30)};
}

}  // namespace blend
