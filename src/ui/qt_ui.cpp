#include "qt_ui.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QVBoxLayout>

#include "text.h"

namespace blend {
namespace {

class QtWaitWindow : public WaitWindow {
 public:
  explicit QtWaitWindow(const QString& text) {
    window_.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window_.setWindowModality(Qt::ApplicationModal);
    window_.setFrameStyle(QFrame::Panel | QFrame::Raised);
    window_.setLineWidth(2);
    window_.setMargin(16);
    window_.setAlignment(Qt::AlignCenter);
    window_.setText(text);
    window_.adjustSize();
    if (QWidget* parent = QApplication::activeWindow())
      window_.move(parent->geometry().center() - window_.rect().center());
    window_.show();
    // The caller goes on working on this thread; let the window paint before it does.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  void setText(std::string_view text) override {
    window_.setText(fromUtf8(text));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

 private:
  QLabel window_;
};

}  // namespace

void QtUi::message(std::string_view text, std::string_view title, MessageKind kind) {
  const auto icon = kind == MessageKind::Stop      ? QMessageBox::Critical
                    : kind == MessageKind::Warning ? QMessageBox::Warning
                                                   : QMessageBox::Information;
  QMessageBox box(icon, fromUtf8(title), fromUtf8(text), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

bool QtUi::yesNo(std::string_view text, std::string_view title) {
  QMessageBox box(QMessageBox::Question, fromUtf8(title), fromUtf8(text),
                  QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void QtUi::beep(int, int) {
  // The desktop offers one system bell; pitch and length are not ours to choose.
  QApplication::beep();
}

std::unique_ptr<WaitWindow> QtUi::wait(std::string_view text) {
  return std::make_unique<QtWaitWindow>(fromUtf8(text));
}

}  // namespace blend
