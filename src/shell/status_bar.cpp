#include "status_bar.h"

#include <QDateTime>
#include <QLabel>
#include <QTimer>

#include "keyboard_state.h"

namespace blend {
namespace {

QLabel* panel(QStatusBar* bar, const QString& sample) {
  auto* label = new QLabel(bar);
  label->setAlignment(Qt::AlignCenter);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sample) + 12);
  bar->addPermanentWidget(label);
  return label;
}

}  // namespace

StationStatusBar::StationStatusBar(const QString& defaultMessage, QWidget* parent)
    : QStatusBar(parent) {
  auto* message = new QLabel(defaultMessage, this);
  message->setAlignment(Qt::AlignCenter);
  addWidget(message, 1);
  clock_ = panel(this, "00:00:00");
  date_ = panel(this, "00/00/0000");
  caps_ = panel(this, "CAPS");
  num_ = panel(this, "NUM");
  scroll_ = panel(this, "SCRL");
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &StationStatusBar::refresh);
  timer->start(1000);
  refresh();
}

void StationStatusBar::refresh() {
  const QDateTime now = QDateTime::currentDateTime();
  clock_->setText(now.toString("hh:mm:ss"));
  date_->setText(now.toString("dd/MM/yyyy"));
  const KeyboardState keys = keyboardState();
  caps_->setText(keys.caps ? "CAPS" : "");
  num_->setText(keys.num ? "NUM" : "");
  scroll_->setText(keys.scroll ? "SCRL" : "");
}

}  // namespace blend
