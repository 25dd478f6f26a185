#include "dialog.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include "picture.h"
#include "picture_button.h"
#include "picture_edit.h"

namespace blend {
namespace {

DialogDriver* gDriver = nullptr;

// Buttons that leave a dialog without taking what was typed (Cancel) must work even while a
// field refuses to be left.
bool skipsValidation(const QWidget* widget) { return PictureEdit::skipsValidation(widget); }

// A label that reports clicks, for pictures a person can click.
class ClickableLabel : public QLabel {
 public:
  ClickableLabel(std::function<void()> onClick, QWidget* parent)
      : QLabel(parent), onClick_(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      onClick_();
  }

 private:
  std::function<void()> onClick_;
};

}  // namespace

void setDialogDriver(DialogDriver* driver) { gDriver = driver; }

QHBoxLayout* centredRow(std::initializer_list<QWidget*> widgets) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QWidget* w : widgets) row->addWidget(w);
  row->addStretch();
  return row;
}
DialogDriver* dialogDriver() { return gDriver; }

Dialog::Dialog(const QString& title, QWidget* parent) : QDialog(parent) {
  setWindowTitle(title);
  setModal(true);
}

void Dialog::track(const QString& name, QWidget* widget, const QRect& rect) {
  widget->setObjectName(name);
  if (rect.isValid()) widget->setGeometry(rect);
  controls_.insert(name, widget);
}

QLabel* Dialog::addLabel(const QString& name, const QString& text, const QRect& rect,
                         Qt::Alignment alignment) {
  auto* label = new QLabel(text, this);
  label->setAlignment(alignment);
  track(name, label, rect);
  return label;
}

QLabel* Dialog::addPicture(const QString& name, std::string_view picturePath, const QRect& rect,
                           std::function<void()> onClick) {
  QLabel* label = onClick ? new ClickableLabel(std::move(onClick), this) : new QLabel(this);
  label->setPixmap(loadPicture(picturePath));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  track(name, label, rect);
  return label;
}

PictureEdit* Dialog::addEdit(const QString& name, const QString& picture, const QRect& rect,
                             int maxLength) {
  auto* edit = new PictureEdit(picture, this);
  if (maxLength > 0) edit->setMaxLength(maxLength);
  edit->installEventFilter(this);
  connect(edit, &PictureEdit::left, this, [this, edit](bool ok) {
    if (edit == current_) {
      currentLeft_ = true;
      currentOk_ = ok;
    }
    refreshEnabled();
  });
  track(name, edit, rect);
  return edit;
}

QPlainTextEdit* Dialog::addTextBox(const QString& name, const QString& text, const QRect& rect) {
  auto* box = new QPlainTextEdit(text, this);
  track(name, box, rect);
  return box;
}

void Dialog::bindClick(QAbstractButton* button, std::function<void()> onClick) {
  connect(button, &QAbstractButton::clicked, this, [this, button, onClick = std::move(onClick)] {
    // A field that refused to be left keeps the person in it: only Cancel gets through.
    if (!skipsValidation(button) && current_ && currentLeft_ && !currentOk_) return;
    if (onClick) onClick();
    refreshEnabled();
  });
}

QPushButton* Dialog::addButton(const QString& name, const QString& caption, const QRect& rect,
                               std::function<void()> onClick, ButtonRole role) {
  auto* button = new QPushButton(caption, this);
  const bool isDefault = role == ButtonRole::Default || role == ButtonRole::DefaultAndCancel;
  const bool isCancel = role == ButtonRole::Cancel || role == ButtonRole::DefaultAndCancel;
  button->setAutoDefault(isDefault);
  button->setDefault(isDefault);
  if (isCancel) PictureEdit::setSkipsValidation(button);
  bindClick(button, std::move(onClick));
  track(name, button, rect);
  return button;
}

PictureButton* Dialog::addPictureButton(const QString& name, std::string_view picturePath,
                                        const QString& tooltip, const QRect& rect,
                                        std::function<void()> onClick) {
  auto* button = new PictureButton(picturePath, tooltip, tooltip, this);
  bindClick(button, std::move(onClick));
  track(name, button, rect);
  return button;
}

void Dialog::addControl(const QString& name, QWidget* widget, const QRect& rect) {
  widget->setParent(this);
  track(name, widget, rect);
}

QWidget* Dialog::control(const QString& name) const { return controls_.value(name); }

void Dialog::enableWhen(const QString& name, std::function<bool()> condition) {
  conditions_.emplace_back(name, std::move(condition));
  refreshEnabled();
}

void Dialog::refreshEnabled() {
  for (const auto& [name, condition] : conditions_)
    if (QWidget* widget = control(name)) widget->setEnabled(condition());
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* edit = qobject_cast<PictureEdit*>(watched)) {
      current_ = edit;
      currentLeft_ = false;
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool Dialog::leaveCurrent() {
  if (!current_ || currentLeft_) return currentOk_ || !current_;
  return current_->leave();  // the left() signal records the answer
}

bool Dialog::type(const QString& name, const QString& text) {
  QWidget* widget = control(name);
  if (!widget || !widget->isEnabled()) return false;
  if (auto* edit = qobject_cast<PictureEdit*>(widget)) {
    if (edit->isReadOnly()) return false;
    if (edit != current_ && !leaveCurrent()) return false;
    current_ = edit;
    currentLeft_ = false;
    edit->typeText(text);
    return true;
  }
  if (!leaveCurrent()) return false;
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    if (box->isReadOnly()) return false;
    box->insertPlainText(text);
    return true;
  }
  return false;
}

bool Dialog::leave(const QString& name) {
  auto* edit = control<PictureEdit>(name);
  if (!edit) return false;
  if (edit == current_) currentLeft_ = false;
  const bool ok = edit->leave();
  return ok;
}

bool Dialog::click(const QString& name) {
  auto* button = control<QAbstractButton>(name);
  if (!button || !button->isEnabled()) return false;
  if (!skipsValidation(button) && !leaveCurrent()) return false;
  button->click();
  return true;
}

void Dialog::closeBox() { reject(); }

QString Dialog::text(const QString& name) const {
  QWidget* widget = control(name);
  if (auto* edit = qobject_cast<PictureEdit*>(widget)) return edit->value();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return box->toPlainText();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  return {};
}

int Dialog::exec() {
  if (!layout() && !testAttribute(Qt::WA_Resized))
    resize(childrenRect().bottomRight().x() + 12, childrenRect().bottomRight().y() + 12);
  refreshEnabled();
  if (DialogDriver* driver = dialogDriver()) {
    setResult(QDialog::Rejected);
    driver->drive(*this);
    return result();
  }
  return QDialog::exec();
}

}  // namespace blend
