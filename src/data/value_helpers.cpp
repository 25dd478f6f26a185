#include "value_helpers.h"

#include <cmath>
#include <string>

#include "cp874.h"
#include "format.h"
#include "number_text.h"
#include "text_util.h"

namespace blend {

std::string ZERO(double n, int width) {
  if (width <= 0) return {};
  const double whole = std::trunc(n);
  std::string digits = std::isfinite(whole) ? formatPlain(whole) : "0";
  const std::string text = std::string(width, '0') + digits;
  return text.substr(text.size() - width);
}

std::string ZERO2(double n, int width, std::string_view weightPicture) {
  std::string shown = transformNumber(n, weightPicture);
  std::erase(shown, ' ');
  if (width <= 0) return {};
  const std::string text = std::string(width, '0') + shown;
  return text.substr(text.size() - width);
}

Value SPLIT(std::string_view text, int k, std::string_view separator, std::string_view kind) {
  std::string piece;
  if (k >= 1 && !separator.empty()) {
    const std::string all = std::string(text) + std::string(separator);
    size_t start = 0;
    for (int i = 1;; ++i) {
      const size_t end = all.find(separator, start);
      if (end == std::string::npos) break;
      if (i == k) {
        piece = all.substr(start, end - start);
        break;
      }
      start = end + separator.size();
    }
  }
  if (!kind.empty() && (kind[0] == 'N' || kind[0] == 'n')) {
    std::string kept;
    for (char c : trim(piece))
      if ((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-') kept += c;
    const ParsedNumber number = parseLeadingNumber(kept);
    return Value(number.value, number.decimals);
  }
  return Value(piece);
}

std::string TEXTTRIM(std::string_view text) {
  std::string out = trim(text);
  for (char& c : out)
    if (std::string_view("!#$%&/:;?|~").find(c) != std::string_view::npos) c = '-';
  // Blanks only: tabs and line ends are not blanks here.
  return out;
}

std::string MONTHNAME(int month) {
  static const char* const kNames[] = {"มกราคม",   "กุมภาพันธ์", "มีนาคม",   "เมษายน",
                                       "พฤษภาคม",  "มิถุนายน",  "กรกฎาคม", "สิงหาคม",
                                       "กันยายน",  "ตุลาคม",    "พฤศจิกายน", "ธันวาคม"};
  if (month < 1 || month > 12) return {};
  return utf8ToCp874(kNames[month - 1]);
}

std::string BCYEAR(Date date) {
  const std::string day = ZERO(date.day(), 2);
  const std::string year = ZERO(date.year() + 543, 4);
  return utf8ToCp874("วันที่  ") + day + "  " + MONTHNAME(date.month()) + utf8ToCp874("  พ.ศ.") +
         year;
}

Date FIRSTDAY(Date date) {
  if (date.empty()) return {};
  return Date::fromYmd(date.year(), date.month(), 1);
}

Date LASTDAY(Date date) {
  if (date.empty()) return {};
  return Date::fromYmd(date.year(), date.month(), daysInMonth(date.year(), date.month()));
}

int BIN2DEC(std::string_view bits) {
  std::string text = trim(bits);
  if (text.size() < 8) text.insert(0, 8 - text.size(), '0');
  text = text.substr(text.size() - 8);
  int value = 0;
  for (int i = 0; i < 8; ++i)
    if (text[i] == '1') value += 128 >> i;
  return value;
}

std::string DEC2BIN(double n) {
  std::string out;
  for (int bit = 128; bit >= 1; bit >>= 1) {
    if (n >= bit) {
      out += '1';
      n -= bit;
    } else {
      out += '0';
    }
  }
  return out;
}

double HEX2DEC(std::string_view hex) {
  double value = 0, weight = 1;
  for (size_t i = hex.size(); i-- > 0; weight *= 16) {
    const char c = hex[i];
    const double digit = (c >= 'A' && c <= 'F') ? c - 'A' + 10 : VAL(std::string_view(&c, 1));
    value += digit * weight;
  }
  return value;
}

std::string HEX2BIN(std::string_view digit) {
  if (digit.size() == 1 && digit[0] >= 'A' && digit[0] <= 'F') return DEC2BIN(digit[0] - 'A' + 10);
  return DEC2BIN(VAL(digit));
}

void TDELAY(Clock& clock, double seconds) {
  const double start = clock.secondsSinceMidnight();
  while (elapsedSince(clock, start) < seconds) clock.sleep(std::min(0.01, seconds));
}

std::uint32_t SELCOLOR(bool deleted) { return deleted ? 255u : 0u; }

}  // namespace blend
