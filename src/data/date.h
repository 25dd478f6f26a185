#pragma once
// Calendar dates as the tables hold them: a day number, or the empty date.

#include <cstdint>
#include <string>
#include <string_view>

namespace blend {

class Date {
 public:
  Date() = default;  // the empty date
  static Date fromYmd(int year, int month, int day);  // empty when not a real day
  static Date fromDayNumber(std::int32_t days) { return Date(days); }

  bool empty() const { return days_ == kEmpty; }
  int year() const;
  int month() const;
  int day() const;
  int dayOfWeek() const;  // 1 = Sunday ... 7 = Saturday; 0 for the empty date
  std::int32_t dayNumber() const { return days_; }  // days since 1970-01-01

  Date plusDays(double days) const;

  // The empty date is earlier than every date.
  friend auto operator<=>(const Date& a, const Date& b) = default;

 private:
  static constexpr std::int32_t kEmpty = INT32_MIN;
  explicit Date(std::int32_t days) : days_(days) {}
  std::int32_t days_ = kEmpty;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// YYYYMMDD, eight blanks for the empty date; and back (blank or invalid text: empty date).
std::string DTOS(Date date);
Date STOD(std::string_view text);

// DD/MM/YYYY, "  /  /    " for the empty date.
std::string DTOC(Date date);

// DD/MM/YYYY or DD/MM/YY (a two-digit year falls in 1970 to 2069); the empty date when the text
// is blank or not a valid date.
Date CTOD(std::string_view text);

}  // namespace blend
