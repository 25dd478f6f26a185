#pragma once
// The entry field every dialog of the station uses: a line edit that takes only what its picture
// allows and shows its value the way the picture says.
//
// Pictures in use:
//   "@!"          any text; letters are upper case
//   "999"         digits only, at most one per 9 (codes and counts)
//   "999,999.99"  a number: 9s before the point are integer digits, after it decimals, commas
//                 group the thousands of what is shown
//   "99/99/9999"  a date, day first
//   "99:99:99"    a time of day
//
// The rules are free functions so they can be checked without a widget; PictureEdit only binds
// them to Qt.

#include <QDate>
#include <QLineEdit>
#include <QString>
#include <QTime>

#include <functional>
#include <string>
#include <vector>

namespace blend {

enum class PictureKind {
  Text,       // no picture the station knows: anything goes
  UpperText,  // "@!"
  Digits,     // "999"
  Number,     // "999999.99", "999,999.99", "999.9", ...
  Date,       // "99/99/9999"
  Time,       // "99:99:99"
};

PictureKind pictureKind(const QString& picture);

// Whether a field with this picture may hold the text while the operator is typing it. A number
// may be incomplete ("-", "12.") but never has more digits than the picture has room for. Dates
// and times are guarded by their input mask and take anything here.
bool acceptsPictureText(const QString& picture, const QString& text);

// ASCII letters to upper case; Thai and everything else unchanged (only ASCII has a case in the
// station's code page).
QString upperCaseLetters(const QString& text);

// The number as a field with this picture shows it: rounded half away from zero to the picture's
// decimals, commas where the picture has them between digits, right-aligned to the picture's
// width; a number that does not fit is asterisks the width of the picture.
QString formatToPicture(const QString& picture, double value);

// The number in a shown or typed text (leading blanks and thousands commas allowed); 0 when there
// is none.
double parsePictureNumber(const QString& text);

// A date as "dd/mm/yyyy" with blanks for the empty positions. All blank is the empty date (a null
// QDate, *ok true). A year of two digits followed by two blanks is taken within 1970-2069.
QDate parsePictureDate(const QString& text, bool* ok);
QString formatPictureDate(const QDate& date);  // a null date gives "  /  /    "

// A time as "hh:mm:ss"; all blank is the empty time (a null QTime, *ok true).
QTime parsePictureTime(const QString& text, bool* ok);
QString formatPictureTime(const QTime& time);  // a null time gives "  :  :  "

class PictureEdit;

// Leaves each field in turn, as the operator would on the way to a save button: a picture
// button takes no focus when clicked, so the field the operator was in has not been checked
// yet. The first that refuses gets the focus back; answers whether all were left.
bool leaveInTurn(const std::vector<PictureEdit*>& fields);

class PictureEdit : public QLineEdit {
  Q_OBJECT

 public:
  // Focus moving to a widget with this property set true (a dialog's Cancel button) does not
  // check the field, so the operator can always back out of a dialog.
  static constexpr char kSkipsValidationProperty[] = "blendSkipsValidation";
  static void setSkipsValidation(QWidget* widget, bool skips = true);
  static bool skipsValidation(const QWidget* widget);

  explicit PictureEdit(const QString& picture, QWidget* parent = nullptr);

  QString picture() const { return picture_; }
  PictureKind kind() const { return kind_; }

  // The text as shown, blanks of a date or time included.
  QString value() const;
  std::string bytes() const;  // value() in CP874
  void setBytes(const std::string& cp874);

  // Asterisks (a number too wide for the picture) give the number last set.
  double number() const;
  void setNumber(double value);
  QDate date() const;  // null for the empty or an impossible date
  void setDate(const QDate& date);
  QTime time() const;  // null for the empty or an impossible time
  void setTime(const QTime& time);

  // The owner's check, run when the field is left and its own check has passed.
  void setValid(std::function<bool()> valid) { valid_ = std::move(valid); }

  // Leaves the field: formats the text to the picture, runs the field's own check (an impossible
  // date or time fails) and then the owner's; emits left() with the answer and returns it.
  bool leave();

  // Types text as the operator would, starting afresh as on entering the field: each character
  // goes through the keyboard's path, so what the picture refuses is refused here too.
  void typeText(const QString& text);

 signals:
  void left(bool ok);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool formatAndCheck();
  void takeFocusBack();

  QString picture_;
  PictureKind kind_;
  double lastNumber_ = 0;
  std::function<bool()> valid_;
  bool leaving_ = false;
  bool focusBackPending_ = false;

  // The field taking focus back after a failed check; the widget it takes focus from was only
  // passed through and is not checked.
  static PictureEdit* takingFocusBack_;
};

}  // namespace blend
