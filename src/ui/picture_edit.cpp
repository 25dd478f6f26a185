#include "picture_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTimer>
#include <QValidator>

#include <set>

#include "data/cp874.h"
#include "data/number_text.h"

namespace blend {
namespace {

const QString kDatePicture = QStringLiteral("99/99/9999");
const QString kTimePicture = QStringLiteral("99:99:99");

// What a number picture says: integer digits, decimals, and where its thousands commas sit
// (counted as the number of integer digits to the right of each comma).
struct NumberLayout {
  int integerDigits = 0;
  int decimals = 0;
  std::set<int> commasBefore;
};

NumberLayout numberLayout(const QString& picture) {
  NumberLayout layout;
  const qsizetype point = picture.indexOf(u'.');
  const QString integerPart = point < 0 ? picture : picture.left(point);
  if (point >= 0) layout.decimals = static_cast<int>(picture.size() - point - 1);
  int digitsToRight = 0;
  for (qsizetype i = integerPart.size() - 1; i >= 0; --i) {
    if (integerPart[i] == u'9') {
      ++digitsToRight;
    } else if (integerPart[i] == u',') {
      layout.commasBefore.insert(digitsToRight);
    }
  }
  layout.integerDigits = digitsToRight;
  return layout;
}

bool isAsterisks(const QString& text) {
  const QString trimmed = text.trimmed();
  return !trimmed.isEmpty() && trimmed.count(u'*') == trimmed.size();
}

bool isDigits(const QString& text) {
  for (const QChar c : text)
    if (c < u'0' || c > u'9') return false;
  return true;
}

// The number of the digits in text[from, from + count), or -1 unless all of them are digits.
int digitsAt(const QString& text, int from, int count) {
  const QString part = text.mid(from, count);
  if (part.size() != count || !isDigits(part)) return -1;
  return part.toInt();
}

bool blankAt(const QString& text, int from, int count) {
  return text.mid(from, count).trimmed().isEmpty();
}

void setOk(bool* ok, bool value) {
  if (ok) *ok = value;
}

int keyFor(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'a' && u <= u'z') return Qt::Key_A + (u - u'a');
  if (u >= 0x20 && u < 0x7f) return u;  // Qt's codes for printable ASCII keys are the characters
  return Qt::Key_unknown;               // Thai: the text of the event carries the character
}

// Binds the picture's typing rule to QLineEdit. A validator rather than a key filter, so that
// pasting and QLineEdit::insert are held to the same rule as the keyboard.
class PictureValidator : public QValidator {
 public:
  PictureValidator(const QString& picture, QObject* parent)
      : QValidator(parent), picture_(picture), kind_(pictureKind(picture)) {}

  State validate(QString& input, int& /*pos*/) const override {
    if (kind_ == PictureKind::UpperText) {
      input = upperCaseLetters(input);  // same length, so the cursor stays where it was
      return Acceptable;
    }
    // Anything the picture allows counts as acceptable, so QLineEdit's returnPressed and
    // editingFinished still come for a half-typed number; leave() completes it.
    return acceptsPictureText(picture_, input) ? Acceptable : Invalid;
  }

 private:
  QString picture_;
  PictureKind kind_;
};

}  // namespace

PictureKind pictureKind(const QString& picture) {
  const QString p = picture.trimmed();
  if (p == u"@!") return PictureKind::UpperText;
  if (p == kDatePicture) return PictureKind::Date;
  if (p == kTimePicture) return PictureKind::Time;
  if (!p.isEmpty() && p.count(u'9') == p.size()) return PictureKind::Digits;
  static const QRegularExpression number(QStringLiteral("^9(,?9)*(\\.9+)?$"));
  if (number.match(p).hasMatch()) return PictureKind::Number;
  return PictureKind::Text;
}

bool acceptsPictureText(const QString& picture, const QString& text) {
  switch (pictureKind(picture)) {
    case PictureKind::Digits:
      // Asterisks are what setNumber() shows for a count that does not fit.
      return text.size() <= picture.size() && (isDigits(text) || isAsterisks(text));
    case PictureKind::Number:
      break;
    default:
      return true;
  }
  if (text.size() > picture.size()) return false;
  // The field shows the formatted number (leading blanks, commas, asterisks) and the operator
  // may edit that rather than retype it, so those are allowed around what is typed.
  if (isAsterisks(text)) return true;
  qsizetype start = 0;
  while (start < text.size() && text[start] == u' ') ++start;
  QString typed = text.mid(start);
  if (picture.contains(u',')) typed.remove(u',');
  const NumberLayout layout = numberLayout(picture);
  qsizetype i = 0;
  int integerDigits = 0;
  int decimals = 0;
  bool point = false;
  if (typed.startsWith(u'-')) {
    ++i;
    ++integerDigits;  // the sign takes the place of one integer digit
  }
  for (; i < typed.size(); ++i) {
    const QChar c = typed[i];
    if (c >= u'0' && c <= u'9') {
      ++(point ? decimals : integerDigits);
    } else if (c == u'.' && !point && layout.decimals > 0) {
      point = true;
    } else {
      return false;
    }
  }
  return integerDigits <= layout.integerDigits && decimals <= layout.decimals;
}

QString upperCaseLetters(const QString& text) {
  QString result = text;
  for (QChar& c : result)
    if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - u'a' + u'A');
  return result;
}

QString formatToPicture(const QString& picture, double value) {
  const NumberLayout layout = numberLayout(picture);
  const int width = static_cast<int>(picture.size());
  // Whether the number fits is a matter of digits, so it is decided without the commas; they
  // are only added between digits and there is always room for those.
  const int plainWidth = width - static_cast<int>(layout.commasBefore.size());
  const QString plain =
      QString::fromStdString(formatFixed(value, plainWidth, layout.decimals)).trimmed();
  if (plain.startsWith(u'*')) return QString(width, u'*');

  const bool negative = plain.startsWith(u'-');
  const QString unsignedText = negative ? plain.mid(1) : plain;
  const qsizetype point = unsignedText.indexOf(u'.');
  const QString integerPart = point < 0 ? unsignedText : unsignedText.left(point);
  const QString rest = point < 0 ? QString() : unsignedText.mid(point);

  QString grouped;
  const int count = static_cast<int>(integerPart.size());
  for (int j = 0; j < count; ++j) {
    if (j > 0 && layout.commasBefore.count(count - j)) grouped += u',';
    grouped += integerPart[j];
  }
  return ((negative ? QStringLiteral("-") : QString()) + grouped + rest)
      .rightJustified(width, u' ');
}

double parsePictureNumber(const QString& text) {
  QString plain = text;
  plain.remove(u',');
  return VAL(plain.toStdString());
}

QDate parsePictureDate(const QString& text, bool* ok) {
  const QString t = text.leftJustified(kDatePicture.size(), u' ');
  setOk(ok, false);
  if (t.size() != kDatePicture.size() || t[2] != u'/' || t[5] != u'/') return {};
  if (blankAt(t, 0, 2) && blankAt(t, 3, 2) && blankAt(t, 6, 4)) {
    setOk(ok, true);
    return {};
  }
  const int day = digitsAt(t, 0, 2);
  const int month = digitsAt(t, 3, 2);
  int year = digitsAt(t, 6, 4);
  if (year < 0 && blankAt(t, 8, 2)) {
    // Operators type two-digit years; the window keeps old records and the coming decades.
    const int shortYear = digitsAt(t, 6, 2);
    if (shortYear >= 0) year = shortYear >= 70 ? 1900 + shortYear : 2000 + shortYear;
  }
  if (day < 0 || month < 0 || year < 0) return {};
  const QDate date(year, month, day);
  setOk(ok, date.isValid());
  return date.isValid() ? date : QDate();
}

QString formatPictureDate(const QDate& date) {
  if (!date.isValid()) return QStringLiteral("  /  /    ");
  return QString::asprintf("%02d/%02d/%04d", date.day(), date.month(), date.year());
}

QTime parsePictureTime(const QString& text, bool* ok) {
  const QString t = text.leftJustified(kTimePicture.size(), u' ');
  setOk(ok, false);
  if (t.size() != kTimePicture.size() || t[2] != u':' || t[5] != u':') return {};
  if (blankAt(t, 0, 2) && blankAt(t, 3, 2) && blankAt(t, 6, 2)) {
    setOk(ok, true);
    return {};
  }
  const int hours = digitsAt(t, 0, 2);
  const int minutes = digitsAt(t, 3, 2);
  const int seconds = digitsAt(t, 6, 2);
  if (!QTime::isValid(hours, minutes, seconds)) return {};
  setOk(ok, true);
  return QTime(hours, minutes, seconds);
}

QString formatPictureTime(const QTime& time) {
  if (!time.isValid()) return QStringLiteral("  :  :  ");
  return QString::asprintf("%02d:%02d:%02d", time.hour(), time.minute(), time.second());
}

// ---------------------------------------------------------------------------------------------

PictureEdit* PictureEdit::takingFocusBack_ = nullptr;

void PictureEdit::setSkipsValidation(QWidget* widget, bool skips) {
  widget->setProperty(kSkipsValidationProperty, skips);
}

bool PictureEdit::skipsValidation(const QWidget* widget) {
  return widget && widget->property(kSkipsValidationProperty).toBool();
}

PictureEdit::PictureEdit(const QString& picture, QWidget* parent)
    : QLineEdit(parent), picture_(picture), kind_(pictureKind(picture)) {
  switch (kind_) {
    case PictureKind::Date:
      // Optional digits ('0'), so a half-filled date still counts as input for QLineEdit's
      // signals; whether it is a real date is leave()'s question.
      setInputMask(QStringLiteral("00/00/0000; "));
      break;
    case PictureKind::Time:
      setInputMask(QStringLiteral("00:00:00; "));
      break;
    case PictureKind::Number:
      setAlignment(Qt::AlignRight);
      [[fallthrough]];
    case PictureKind::Digits:
      setMaxLength(static_cast<int>(picture.size()));
      [[fallthrough]];
    case PictureKind::UpperText:
      setValidator(new PictureValidator(picture, this));
      break;
    case PictureKind::Text:
      break;
  }
}

QString PictureEdit::value() const {
  // text() drops the blanks of a mask, which would make "1 /03/2024" read as "1/03/2024".
  return inputMask().isEmpty() ? text() : displayText();
}

std::string PictureEdit::bytes() const {
  return utf8ToCp874(value().toStdString());
}

void PictureEdit::setBytes(const std::string& cp874) {
  setText(QString::fromStdString(cp874ToUtf8(cp874)));
  // Stored text comes filled with blanks to its width; show its beginning, not the blanks.
  setCursorPosition(0);
}

double PictureEdit::number() const {
  const QString shown = value();
  return isAsterisks(shown) ? lastNumber_ : parsePictureNumber(shown);
}

void PictureEdit::setNumber(double value) {
  lastNumber_ = value;
  QString shown = formatToPicture(picture_, value);
  if (kind_ == PictureKind::Digits) {
    // A digit field holds only digits, as typed: no padding, and no room for a sign.
    shown = shown.trimmed();
    if (shown.startsWith(u'-')) shown = QString(picture_.size(), u'*');
  }
  setText(shown);
}

QDate PictureEdit::date() const {
  return parsePictureDate(value(), nullptr);
}

void PictureEdit::setDate(const QDate& date) {
  setText(formatPictureDate(date));
}

QTime PictureEdit::time() const {
  return parsePictureTime(value(), nullptr);
}

void PictureEdit::setTime(const QTime& time) {
  setText(formatPictureTime(time));
}

bool PictureEdit::leave() {
  const QScopedValueRollback guard(leaving_, true);
  bool ok = formatAndCheck();
  // The owner's check may look the value up, so it only ever sees a value the field accepts.
  if (ok && valid_) ok = valid_();
  emit left(ok);
  return ok;
}

bool PictureEdit::formatAndCheck() {
  bool ok = true;
  switch (kind_) {
    case PictureKind::Number:
      // Asterisks stand for the number last set; reformatting them would lose it.
      if (!isAsterisks(value())) setNumber(parsePictureNumber(value()));
      break;
    case PictureKind::Date: {
      const QDate d = parsePictureDate(value(), &ok);
      if (ok) setDate(d);  // writes a two-digit year out in full
      break;
    }
    case PictureKind::Time: {
      const QTime t = parsePictureTime(value(), &ok);
      if (ok) setTime(t);
      break;
    }
    default:
      // Digit fields keep their text as typed: leading zeros of a code are part of it.
      break;
  }
  return ok;
}

void PictureEdit::typeText(const QString& text) {
  selectAll();
  for (const QChar c : text) {
    const int key = keyFor(c);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(this, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(this, &release);
  }
}

void PictureEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // Coming back from another window or a menu is not entering the field afresh; keep the
  // operator's place. Otherwise typing overwrites, as operators expect of an entry field.
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) selectAll();
}

void PictureEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  const Qt::FocusReason reason = event->reason();
  // Another window or a context menu taking the keyboard is not leaving the field: the operator
  // comes back to it as it was, and a check here could pop a message over a closing dialog.
  if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
  // The owner's check may itself move the focus (a message box); that is not a second leave.
  if (leaving_) return;
  QWidget* next = QApplication::focusWidget();
  if (next && (skipsValidation(next) || next == takingFocusBack_)) return;
  if (leave()) return;
  const bool operatorMoved = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                             reason == Qt::MouseFocusReason;
  if (operatorMoved && next && next->window() == window()) takeFocusBack();
}

void PictureEdit::takeFocusBack() {
  if (focusBackPending_) return;
  focusBackPending_ = true;
  // Later, not now: Qt is in the middle of handing the focus to the other widget.
  QTimer::singleShot(0, this, [this] {
    focusBackPending_ = false;
    if (!isVisible() || !isEnabled() || hasFocus()) return;
    takingFocusBack_ = this;
    setFocus(Qt::OtherFocusReason);
    takingFocusBack_ = nullptr;
  });
}

bool leaveInTurn(const std::vector<PictureEdit*>& fields) {
  for (PictureEdit* field : fields) {
    if (field && !field->leave()) {
      field->setFocus();
      return false;
    }
  }
  return true;
}

}  // namespace blend
