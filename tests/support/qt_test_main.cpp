// The main of tests that need widgets: one QApplication for the whole test program.
#include <QApplication>
#include <gtest/gtest.h>

#include "ui/fonts.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                   : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  blend::installThaiFontSubstitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
