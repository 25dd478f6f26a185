#pragma once
// Numbers written as text: reading the leading number of a text, and writing a number to a fixed
// width and number of decimals. The evaluator's VAL and STR and every numeric setting use these.

#include <string>
#include <string_view>

namespace blend {

struct ParsedNumber {
  double value = 0;
  int decimals = 0;  // digits written after the decimal point
};

// The number at the start of text: leading blanks, an optional sign, digits and at most one
// decimal point, ending at the first other byte. No digits at all give 0.
ParsedNumber parseLeadingNumber(std::string_view text);
inline double VAL(std::string_view text) { return parseLeadingNumber(text).value; }

// Rounds half away from zero to the given decimals. Binary representation noise (1.005 held as
// 1.00499999...) is not allowed to turn a written half into a round-down.
double roundHalfAway(double value, int decimals);

// The number right-aligned in width characters with exactly `decimals` decimals, rounded half away
// from zero; a number that does not fit comes out as width asterisks.
std::string formatFixed(double value, int width, int decimals);

// The shortest plain decimal text for a number (no exponent, no blanks, no trailing zeros):
// 1 gives "1", 2.5 gives "2.5".
std::string formatPlain(double value);

}  // namespace blend
