#include "number_text.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <limits>

namespace blend {
namespace {

// Locale-independent "%.*f".
std::string fixedText(double value, int decimals) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                 decimals);
  return ec == std::errc() ? std::string(buffer, end) : std::string("*");
}

}  // namespace

ParsedNumber parseLeadingNumber(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  size_t i = start;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  bool digits = false;
  bool point = false;
  ParsedNumber result;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (point) ++result.decimals;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return {};
  // from_chars gives the correctly rounded value of exactly the recognised part, whatever the
  // process locale says about decimal points. It takes no "+" and no lone trailing point.
  std::string_view literal = text.substr(start, i - start);
  if (!literal.empty() && literal.front() == '+') literal.remove_prefix(1);
  std::from_chars(literal.data(), literal.data() + literal.size(), result.value);
  return result;
}

double roundHalfAway(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = std::fabs(value) * scale;
  // Beyond 2^52 every double is whole already; nudging would only add error.
  if (!std::isfinite(scaled) || scaled >= 4503599627370496.0) return value;
  // A few units in the last place: enough to lift 100.49999999999999 (1.005 * 100) to the half,
  // never enough to move a value that is really below it.
  const double nudge = std::min(0.25, scaled * 4 * std::numeric_limits<double>::epsilon());
  const double rounded = std::floor(scaled + 0.5 + nudge) / scale;
  return value < 0 ? -rounded : rounded;
}

std::string formatFixed(double value, int width, int decimals) {
  decimals = std::clamp(decimals, 0, 30);
  if (!std::isfinite(value)) return std::string(std::max(0, width), '*');
  const double rounded = roundHalfAway(value, decimals);
  std::string text = fixedText(rounded == 0 ? 0.0 : rounded, decimals);
  if (static_cast<int>(text.size()) > width) return std::string(std::max(0, width), '*');
  return std::string(width - text.size(), ' ') + text;
}

std::string formatPlain(double value) {
  std::string text = fixedText(roundHalfAway(value, 10), 10);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

}  // namespace blend
