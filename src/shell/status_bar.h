#pragma once
// The main window's status bar: a centred default message, the clock, the date and the lock
// keys. Menu and toolbar messages replace the default message while an entry is pointed at.

#include <QStatusBar>

class QLabel;

namespace blend {

class StationStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  StationStatusBar(const QString& defaultMessage, QWidget* parent = nullptr);

  void refresh();  // clock, date and keys; a timer calls it every second

 private:
  QLabel* clock_;
  QLabel* date_;
  QLabel* caps_;
  QLabel* num_;
  QLabel* scroll_;
};

}  // namespace blend
