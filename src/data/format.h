#pragma once
// Numbers, dates and texts written the way templates and screens show them: STR, STRZERO and
// TRANSFORM.

#include <optional>
#include <string>
#include <string_view>

#include "value.h"

namespace blend {

// STR(n, w, d): rounded half away from zero, right-aligned in w, asterisks when it does not fit.
// Without a width: the integer part in 10 characters followed by the decimals the value carries.
std::string STR(const Number& n, std::optional<int> width = std::nullopt,
                std::optional<int> decimals = std::nullopt);

// STR with zeros where STR puts leading blanks; a minus sign stays in front.
std::string STRZERO(const Number& n, int width, std::optional<int> decimals = std::nullopt);

// A number through a numeric picture ("999,999.9"): digit positions 9 or #, one ".", ","
// shown only after a digit, other characters copied; every digit position a "*" when the
// integer part does not fit.
std::string transformNumber(double n, std::string_view picture);

// Any value through a picture: numbers as above, "@!" upper-cases text, other text pictures go
// position by position ("!" upper-cases, 9 X # copy, anything else is inserted), dates as DTOC,
// logicals as "T" or "F".
std::string TRANSFORM(const Value& value, std::string_view picture);

// The letters a to z made upper case, every other byte as it is.
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

}  // namespace blend
