#include "date.h"

#include <cmath>

namespace blend {
namespace {

// Days from 1970-01-01 to a civil date, and back (proleptic Gregorian calendar).
std::int32_t daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct Civil {
  int year, month, day;
};

Civil civil(std::int32_t z) {
  z += 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = z - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp + (mp < 10 ? 3 : -9);
  return {yoe + era * 400 + (m <= 2), m, d};
}

std::string twoDigits(int n) {
  return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

// Digits only, all of them; -1 otherwise.
int digitsValue(std::string_view text) {
  if (text.empty()) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

Date Date::fromYmd(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > daysInMonth(year, month))
    return {};
  return Date(daysFromCivil(year, month, day));
}

int Date::year() const { return empty() ? 0 : civil(days_).year; }
int Date::month() const { return empty() ? 0 : civil(days_).month; }
int Date::day() const { return empty() ? 0 : civil(days_).day; }
int Date::dayOfWeek() const {
  if (empty()) return 0;
  // 1970-01-01 was a Thursday (5).
  const int offset = static_cast<int>(((days_ % 7) + 7) % 7);
  return (offset + 4) % 7 + 1;
}

Date Date::plusDays(double days) const {
  if (empty()) return {};
  const double result = static_cast<double>(days_) + std::trunc(days);
  // Past year 9999 or before year 1 there is no date to give.
  if (result < daysFromCivil(1, 1, 1) || result > daysFromCivil(9999, 12, 31)) return {};
  return Date(static_cast<std::int32_t>(result));
}

std::string DTOS(Date date) {
  if (date.empty()) return std::string(8, ' ');
  const int y = date.year();
  return twoDigits(y / 100) + twoDigits(y % 100) + twoDigits(date.month()) + twoDigits(date.day());
}

Date STOD(std::string_view text) {
  if (text.size() != 8) return {};
  const int y = digitsValue(text.substr(0, 4)), m = digitsValue(text.substr(4, 2)),
            d = digitsValue(text.substr(6, 2));
  if (y < 0 || m < 0 || d < 0) return {};
  return Date::fromYmd(y, m, d);
}

std::string DTOC(Date date) {
  if (date.empty()) return "  /  /    ";
  const int y = date.year();
  return twoDigits(date.day()) + "/" + twoDigits(date.month()) + "/" + twoDigits(y / 100) +
         twoDigits(y % 100);
}

Date CTOD(std::string_view text) {
  // Day, month and year are the numbers between the slashes; blanks around each are allowed.
  const size_t first = text.find('/');
  if (first == std::string_view::npos) return {};
  const size_t second = text.find('/', first + 1);
  if (second == std::string_view::npos) return {};
  const int d = digitsValue(trimBlanks(text.substr(0, first)));
  const int m = digitsValue(trimBlanks(text.substr(first + 1, second - first - 1)));
  const std::string_view yearText = trimBlanks(text.substr(second + 1));
  int y = digitsValue(yearText);
  if (d < 0 || m < 0 || y < 0) return {};
  if (yearText.size() <= 2) y += y >= 70 ? 1900 : 2000;
  return Date::fromYmd(y, m, d);
}

}  // namespace blend
