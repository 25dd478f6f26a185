#pragma once
// The station's main window: menu bar, toolbar, banner, main picture and status bar. Closing
// it, whichever way, asks for confirmation first.

#include <QMainWindow>

#include "commands.h"
#include "data/context.h"

class QLabel;

namespace blend {

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Context& context, Commands& commands, QWidget* parent = nullptr);

  // Builds the menu bar from the menu table.
  QMenuBar* BUILDMENU();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildToolbar();
  void buildStage();
  void placeStage();

  Context& context_;
  Commands& commands_;
  QLabel* banner_ = nullptr;
  QLabel* picture_ = nullptr;
  QLabel* line_ = nullptr;
};

// The window icon, drawn rather than shipped so that every installation has it.
QIcon stationIcon();

}  // namespace blend
