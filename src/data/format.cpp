#include "format.h"

#include <cmath>

#include "number_text.h"

namespace blend {

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

int Number::shownDecimals() const {
  if (decimals != kFree) return decimals;
  return value == std::trunc(value) ? 0 : 2;
}

std::string STR(const Number& n, std::optional<int> width, std::optional<int> decimals) {
  if (!width) {
    const int d = n.shownDecimals();
    if (n.width != Number::kFree) return formatFixed(n.value, n.width, d);
    return formatFixed(n.value, 10 + (d > 0 ? d + 1 : 0), d);
  }
  const int w = std::max(0, *width);
  return formatFixed(n.value, w, decimals.value_or(0));
}

std::string STRZERO(const Number& n, int width, std::optional<int> decimals) {
  std::string text = STR(n, width, decimals.value_or(0));
  if (!text.empty() && text[0] == '*') return text;
  const size_t minus = text.find('-');
  for (char& c : text)
    if (c == ' ' || c == '-') c = '0';
  if (minus != std::string::npos) text[0] = '-';
  return text;
}

std::string transformNumber(double n, std::string_view picture) {
  const size_t point = picture.find('.');
  const auto isDigitPosition = [](char c) { return c == '9' || c == '#'; };
  int decimals = 0;
  if (point != std::string_view::npos)
    for (size_t i = point + 1; i < picture.size(); ++i) decimals += isDigitPosition(picture[i]);

  // The digits of |n| rounded to the picture's decimals.
  const std::string digits = formatFixed(std::fabs(n), 400, decimals);
  const size_t leading = digits.find_first_not_of(' ');
  const std::string fixed = digits.substr(leading);
  const size_t dot = fixed.find('.');
  std::string integer = fixed.substr(0, dot);
  std::string fraction = dot == std::string::npos ? "" : fixed.substr(dot + 1);
  const bool negative = roundHalfAway(n, decimals) < 0;

  std::string out(picture);
  const size_t intEnd = point == std::string_view::npos ? picture.size() : point;
  // A whole number below 1 shows its "0" only where the picture has integer positions.
  if (integer == "0") {
    bool anyIntegerPosition = false;
    for (size_t i = 0; i < intEnd; ++i) anyIntegerPosition |= isDigitPosition(picture[i]);
    if (!anyIntegerPosition) integer.clear();
  }

  // Fill the integer positions from the right.
  size_t next = integer.size();
  size_t firstDigit = intEnd;  // leftmost position holding a digit
  for (size_t i = intEnd; i-- > 0;) {
    if (!isDigitPosition(picture[i])) continue;
    if (next > 0) {
      out[i] = integer[--next];
      firstDigit = i;
    } else {
      out[i] = ' ';
    }
  }
  bool overflow = next > 0;
  // The sign goes in the position just before the first digit, a digit or separator position.
  size_t minusAt = std::string::npos;
  if (!overflow && negative) {
    if (firstDigit > 0 && (isDigitPosition(picture[firstDigit - 1]) || picture[firstDigit - 1] == ','))
      minusAt = firstDigit - 1;
    else
      overflow = true;
  }
  // Separators show only with a digit to their left.
  for (size_t i = 0; i < intEnd; ++i)
    if (picture[i] == ',') out[i] = overflow || i > firstDigit ? ',' : ' ';
  if (minusAt != std::string::npos) out[minusAt] = '-';

  // Decimals from the left.
  size_t f = 0;
  for (size_t i = intEnd + 1; i < picture.size(); ++i)
    if (isDigitPosition(picture[i])) out[i] = f < fraction.size() ? fraction[f++] : '0';

  if (overflow)
    for (size_t i = 0; i < picture.size(); ++i)
      if (isDigitPosition(picture[i])) out[i] = '*';
  return out;
}

namespace {

std::string transformText(const std::string& text, std::string_view picture) {
  bool upper = false;
  std::string_view templ = picture;
  if (!picture.empty() && picture[0] == '@') {
    const size_t blank = picture.find(' ');
    const std::string_view functions = picture.substr(1, blank == std::string_view::npos
                                                             ? std::string_view::npos
                                                             : blank - 1);
    upper = functions.find('!') != std::string_view::npos;
    templ = blank == std::string_view::npos ? std::string_view() : picture.substr(blank + 1);
  }
  if (templ.empty()) return upper ? upperAscii(text) : text;
  std::string out;
  size_t pos = 0;
  for (char p : templ) {
    const char c = pos < text.size() ? text[pos] : ' ';
    switch (p) {
      case '!':
        out += upperAscii(std::string_view(&c, 1));
        ++pos;
        break;
      case '9':
      case 'X':
      case 'x':
      case '#':
      case 'A':
      case 'N':
        out += upper ? upperAscii(std::string_view(&c, 1))[0] : c;
        ++pos;
        break;
      default:
        out += p;
        break;
    }
  }
  return out;
}

}  // namespace

std::string TRANSFORM(const Value& value, std::string_view picture) {
  switch (value.type()) {
    case Value::Type::Number:
      if (picture.empty()) return STR(value.numberWithDecimals());
      return transformNumber(value.number(), picture);
    case Value::Type::Text:
      return transformText(value.text(), picture);
    case Value::Type::Date:
      return DTOC(value.date());
    case Value::Type::Logical:
      return value.logical() ? "T" : "F";
    default:
      return {};
  }
}

}  // namespace blend
