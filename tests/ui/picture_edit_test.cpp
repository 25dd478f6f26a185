#include "ui/picture_edit.h"

#include <QApplication>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Readable failures for QString comparisons.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace blend {
namespace {

struct FormatCase {
  const char* picture;
  double value;
  const char* shown;
};

TEST(FormatToPicture, RoundsAlignsGroupsAndOverflows) {
  const FormatCase cases[] = {
      {"999999.99", 0, "     0.00"},
      {"999999.99", 12.5, "    12.50"},
      {"999.9", 2.25, "  2.3"},   // half away from zero
      {"999.9", -2.25, " -2.3"},  // ... for negatives too
      {"999.9", -0.04, "  0.0"},  // no negative zero
      {"999,999.99", 1234.5, "  1,234.50"},
      {"999,999.99", 123.4, "    123.40"},  // no comma without a digit to its left
      {"999,999.99", -12345.6, "-12,345.60"},
      {"999,999.99", 999999.99, "999,999.99"},
      {"999,999.99", -123456, "**********"},  // the sign needs one of the six digit places
      {"999,999.99", 1234567, "**********"},
      {"9,999,999", 1234567, "1,234,567"},
      {"9999.99", 10000, "*******"},
      {"9999.99", 9999.995, "*******"},  // rounding carries it over the width
      {"999", 12.5, " 13"},
  };
  for (const FormatCase& c : cases)
    EXPECT_EQ(formatToPicture(c.picture, c.value), QString(c.shown)) << c.picture << " " << c.value;
}

TEST(PictureKindTest, RecognisesTheStationsPictures) {
  EXPECT_EQ(pictureKind("@!"), PictureKind::UpperText);
  EXPECT_EQ(pictureKind("99999"), PictureKind::Digits);
  EXPECT_EQ(pictureKind("999,999.99"), PictureKind::Number);
  EXPECT_EQ(pictureKind("999.9"), PictureKind::Number);
  EXPECT_EQ(pictureKind("99/99/9999"), PictureKind::Date);
  EXPECT_EQ(pictureKind("99:99:99"), PictureKind::Time);
  EXPECT_EQ(pictureKind(""), PictureKind::Text);
}

struct TypingCase {
  const char* picture;
  const char* typed;
  const char* kept;
};

TEST(PictureEdit, TypingKeepsOnlyWhatThePictureAllows) {
  const TypingCase cases[] = {
      {"999", "1a2b3", "123"},
      {"999", "12345", "123"},
      {"999999.99", "12.3.4", "12.34"},  // a second point is refused
      {"999.9", "12345", "123"},         // too many integer digits
      {"999.9", "1.25", "1.2"},          // too many decimals
      {"999.9", "-999", "-99"},          // the sign takes an integer place
      {"999.9", "5-", "5"},              // a sign only in front
      {"999.9", "1 2", "12"},
      {"999", "-5", "5"},
      {"99999", "1,2", "12"},
      {"999,999.99", "1,234.5", "1,234.5"},
      {"99/99/9999", "0a5b032024", "05/03/2024"},
      {"99:99:99", "1x23045", "12:30:45"},
  };
  for (const TypingCase& c : cases) {
    PictureEdit edit(c.picture);
    edit.typeText(c.typed);
    EXPECT_EQ(edit.value(), QString(c.kept)) << c.picture << " typed " << c.typed;
  }
}

TEST(PictureEdit, PastedTextIsHeldToThePictureToo) {
  PictureEdit edit("999.9");
  edit.setText("12");
  edit.end(false);
  edit.insert("3x");
  edit.insert(".25");
  EXPECT_EQ(edit.value(), "12");
}

TEST(PictureEdit, UpperCasesLettersOnlyAndLeavesThaiAlone) {
  PictureEdit edit("@!");
  edit.typeText(u8"ab ปุ๋ยเคมี z9");
  EXPECT_EQ(edit.value(), QString::fromUtf8(u8"AB ปุ๋ยเคมี Z9"));

  edit.setMaxLength(4);
  edit.typeText(u8"กขab1");
  EXPECT_EQ(edit.value(), QString::fromUtf8(u8"กขAB"));
  // Thai characters are one byte each in the data.
  EXPECT_EQ(edit.bytes(), std::string("\xA1\xA2") + "AB");
}

TEST(PictureEdit, BytesRoundTripThroughCp874) {
  PictureEdit edit("");
  edit.setBytes("\xBB\xD8\xEB\xC2 A1");  // ปุ๋ย A1
  EXPECT_EQ(edit.value(), QString::fromUtf8(u8"ปุ๋ย A1"));
  EXPECT_EQ(edit.bytes(), "\xBB\xD8\xEB\xC2 A1");
}

struct DateCase {
  const char* text;
  bool ok;
  QDate date;
};

TEST(ParsePictureDate, AcceptsRealDaysAndTheTwoDigitYearWindow) {
  const DateCase cases[] = {
      {"29/02/2000", true, QDate(2000, 2, 29)},
      {"29/02/1900", false, QDate()},
      {"31/04/2024", false, QDate()},
      {"00/01/2024", false, QDate()},
      {"  /  /    ", true, QDate()},  // the empty date
      {"05/03/24  ", true, QDate(2024, 3, 5)},
      {"05/03/70  ", true, QDate(1970, 3, 5)},
      {"05/03/69  ", true, QDate(2069, 3, 5)},
      {"05/03/24", true, QDate(2024, 3, 5)},  // trailing blanks dropped
      {"05/03/2 4 ", false, QDate()},
      {"5 /03/2024", false, QDate()},
      {"05/03/    ", false, QDate()},
      {"05/03/202 ", false, QDate()},
  };
  for (const DateCase& c : cases) {
    bool ok = !c.ok;
    EXPECT_EQ(parsePictureDate(c.text, &ok), c.date) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
}

TEST(ParsePictureTime, AcceptsTimesOfDayOnly) {
  const struct {
    const char* text;
    bool ok;
    QTime time;
  } cases[] = {
      {"23:59:59", true, QTime(23, 59, 59)}, {"00:00:00", true, QTime(0, 0, 0)},
      {"24:00:00", false, QTime()},          {"12:60:00", false, QTime()},
      {"12:00:60", false, QTime()},          {"12:3 :00", false, QTime()},
      {"12:30:  ", false, QTime()},          {"  :  :  ", true, QTime()},
  };
  for (const auto& c : cases) {
    bool ok = !c.ok;
    EXPECT_EQ(parsePictureTime(c.text, &ok), c.time) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
  }
}

TEST(PictureEdit, LeavingADateWritesTheYearOutAndRefusesImpossibleDays) {
  PictureEdit edit("99/99/9999");
  EXPECT_EQ(edit.value(), "  /  /    ");
  EXPECT_TRUE(edit.leave());
  EXPECT_TRUE(edit.date().isNull());

  edit.typeText("050324");
  EXPECT_EQ(edit.value(), "05/03/24  ");
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(edit.value(), "05/03/2024");
  EXPECT_EQ(edit.date(), QDate(2024, 3, 5));

  edit.typeText("31042024");
  EXPECT_FALSE(edit.leave());
  EXPECT_EQ(edit.value(), "31/04/2024");  // left for the operator to correct

  edit.setDate(QDate());
  EXPECT_EQ(edit.value(), "  /  /    ");
}

TEST(PictureEdit, LeavingATimeChecksIt) {
  PictureEdit edit("99:99:99");
  edit.typeText("240000");
  EXPECT_FALSE(edit.leave());
  edit.typeText("235959");
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(edit.time(), QTime(23, 59, 59));
}

TEST(PictureEdit, TypingOverwritesWhatTheFieldHeldAndLeaveFormats) {
  PictureEdit edit("999999.99");
  edit.setNumber(0);
  EXPECT_EQ(edit.value(), "     0.00");
  edit.typeText("12.5");
  EXPECT_EQ(edit.value(), "12.5");
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(edit.value(), "    12.50");
  EXPECT_DOUBLE_EQ(edit.number(), 12.5);

  edit.typeText("");  // entered and left without typing
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(edit.value(), "    12.50");

  edit.clear();  // an emptied number is 0
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(edit.value(), "     0.00");
}

TEST(PictureEdit, AsterisksKeepTheNumberLastSet) {
  PictureEdit edit("9999.99");
  edit.setNumber(10000);
  EXPECT_EQ(edit.value(), "*******");
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(edit.value(), "*******");
  EXPECT_DOUBLE_EQ(edit.number(), 10000);
}

TEST(PictureEdit, DigitFieldsKeepTheirTextAndTakeCounts) {
  PictureEdit code("99999");
  code.typeText("00123");
  EXPECT_TRUE(code.leave());
  EXPECT_EQ(code.value(), "00123");  // leading zeros of a code survive

  PictureEdit count("999");
  count.setNumber(7);
  EXPECT_EQ(count.value(), "7");
  EXPECT_DOUBLE_EQ(count.number(), 7);
  count.setNumber(1000);
  EXPECT_EQ(count.value(), "***");
  EXPECT_DOUBLE_EQ(count.number(), 1000);
}

TEST(PictureEdit, LeaveRunsTheOwnersCheckOnTheFormattedValue) {
  PictureEdit edit("999.9");
  QString seen;
  bool answer = false;
  int calls = 0;
  edit.setValid([&] {
    ++calls;
    seen = edit.value();
    return answer;
  });
  std::vector<bool> emitted;
  QObject::connect(&edit, &PictureEdit::left, [&](bool ok) { emitted.push_back(ok); });

  edit.typeText("5");
  EXPECT_FALSE(edit.leave());
  EXPECT_EQ(seen, "  5.0");
  answer = true;
  EXPECT_TRUE(edit.leave());
  EXPECT_EQ(emitted, (std::vector<bool>{false, true}));

  // An impossible value fails before the owner is asked.
  PictureEdit date("99/99/9999");
  date.setValid([&] {
    ++calls;
    return true;
  });
  date.typeText("30022024");
  calls = 0;
  EXPECT_FALSE(date.leave());
  EXPECT_EQ(calls, 0);
}

// A window with two fields and a Cancel button, shown and active so focus moves as for a person.
class FocusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(first = new PictureEdit("999"));
    layout->addWidget(second = new PictureEdit("999"));
    layout->addWidget(cancel = new QPushButton("Cancel"));
    PictureEdit::setSkipsValidation(cancel);
    first->setValid([this] { return first->value() != "0"; });
    QObject::connect(first, &PictureEdit::left, [this](bool) { ++firstLeft; });
    QObject::connect(second, &PictureEdit::left, [this](bool) { ++secondLeft; });
    window.show();
    window.activateWindow();
    first->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(first->hasFocus());
  }

  void moveFocus(QWidget* to, Qt::FocusReason reason) {
    to->setFocus(reason);
    QApplication::processEvents();
  }

  QWidget window;
  PictureEdit* first = nullptr;
  PictureEdit* second = nullptr;
  QPushButton* cancel = nullptr;
  int firstLeft = 0;
  int secondLeft = 0;
};

TEST_F(FocusTest, AFailedCheckTakesTheFocusBackFromTheOperatorsMove) {
  for (const Qt::FocusReason reason :
       {Qt::TabFocusReason, Qt::BacktabFocusReason, Qt::MouseFocusReason}) {
    first->typeText("0");
    moveFocus(second, reason);
    EXPECT_TRUE(first->hasFocus()) << reason;
    EXPECT_EQ(first->selectedText(), "0");  // ready to be typed over
  }
  EXPECT_EQ(firstLeft, 3);
  EXPECT_EQ(secondLeft, 0);  // only passed through, so not checked

  first->typeText("5");
  second->setText("12");
  second->deselect();
  moveFocus(second, Qt::TabFocusReason);
  EXPECT_TRUE(second->hasFocus());
  EXPECT_EQ(second->selectedText(), "12");
}

TEST_F(FocusTest, ProgramMovesAndCancelDoNotHoldTheFocus) {
  first->typeText("0");
  moveFocus(second, Qt::OtherFocusReason);
  EXPECT_TRUE(second->hasFocus());
  EXPECT_EQ(firstLeft, 1);

  moveFocus(first, Qt::TabFocusReason);
  moveFocus(cancel, Qt::MouseFocusReason);
  EXPECT_TRUE(cancel->hasFocus());
  EXPECT_EQ(firstLeft, 1);  // not even checked
}

TEST_F(FocusTest, AnotherWindowTakingTheKeyboardIsNotLeavingTheField) {
  first->typeText("0");
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  EXPECT_FALSE(first->hasFocus());
  EXPECT_EQ(firstLeft, 0);
  EXPECT_EQ(QApplication::activeWindow(), &other);
}

}  // namespace
}  // namespace blend
