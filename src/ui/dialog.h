#pragma once
// The modal dialog every window of the station is built with.
//
// Controls are placed at pixel positions and registered under a name, so that the logic binds
// to them by name and a test drives them by name the way a person does: type into a field,
// leave it (its validation runs), click a button, close the window. When a DialogDriver is
// installed, exec() hands the built dialog to the driver instead of entering the event loop;
// the dialog's answer is whatever the driven buttons made it.

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace blend {

class Dialog;
class PictureButton;
class PictureEdit;

class DialogDriver {
 public:
  virtual ~DialogDriver() = default;
  virtual void drive(Dialog& dialog) = 0;
};

// Installs (or, with nullptr, removes) the driver that takes over every dialog's exec().
void setDialogDriver(DialogDriver* driver);
DialogDriver* dialogDriver();

// A row of buttons centred in the dialog's width, for dialogs laid out by Qt layouts.
QHBoxLayout* centredRow(std::initializer_list<QWidget*> widgets);

enum class ButtonRole { Normal, Default, Cancel, DefaultAndCancel };

class Dialog : public QDialog {
  Q_OBJECT
 public:
  explicit Dialog(const QString& title, QWidget* parent = nullptr);

  // Building; rectangles are in pixels inside the dialog. An empty rectangle leaves the place to
  // a layout the caller sets, for dialogs whose captions must grow with the screen font.
  QLabel* addLabel(const QString& name, const QString& text, const QRect& rect,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
  // A picture that is missing leaves its area empty. onClick, when given, makes it clickable.
  QLabel* addPicture(const QString& name, std::string_view picturePath, const QRect& rect,
                     std::function<void()> onClick = {});
  PictureEdit* addEdit(const QString& name, const QString& picture, const QRect& rect,
                       int maxLength = 0);
  QPlainTextEdit* addTextBox(const QString& name, const QString& text, const QRect& rect);
  QPushButton* addButton(const QString& name, const QString& caption, const QRect& rect,
                         std::function<void()> onClick, ButtonRole role = ButtonRole::Normal);
  PictureButton* addPictureButton(const QString& name, std::string_view picturePath,
                                  const QString& tooltip, const QRect& rect,
                                  std::function<void()> onClick);
  // Any other widget.
  void addControl(const QString& name, QWidget* widget, const QRect& rect);

  QWidget* control(const QString& name) const;
  template <class T>
  T* control(const QString& name) const {
    return qobject_cast<T*>(control(name));
  }

  // The control is enabled exactly while the condition holds; conditions are looked at again
  // after every field left and every button handled.
  void enableWhen(const QString& name, std::function<bool()> condition);
  void refreshEnabled();

  // What a person does. Each answers false when the person could not do it (a disabled or
  // read-only control, or the field they were in refusing to be left).
  bool type(const QString& name, const QString& text);
  bool leave(const QString& name);
  bool click(const QString& name);
  void closeBox();  // the window's close box
  QString text(const QString& name) const;

  int exec() override;

 private:
  void track(const QString& name, QWidget* widget, const QRect& rect);
  void bindClick(QAbstractButton* button, std::function<void()> onClick);
  bool leaveCurrent();
  bool eventFilter(QObject* watched, QEvent* event) override;

  QHash<QString, QPointer<QWidget>> controls_;
  std::vector<std::pair<QString, std::function<bool()>>> conditions_;
  QPointer<PictureEdit> current_;  // the field the person is in
  bool currentLeft_ = true;        // ... and whether leaving it has been tried since entering
  bool currentOk_ = true;          // ... and what that answered
};

}  // namespace blend
