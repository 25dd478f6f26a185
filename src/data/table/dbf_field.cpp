#include "dbf_field.h"

#include <cmath>
#include <cstring>

#include "data/number_text.h"

namespace blend {

Value decodeField(const Field& field, std::string_view bytes) {
  switch (field.type) {
    case 'N':
    case 'F':
      return Value(Number{parseLeadingNumber(bytes).value, field.decimals, field.width});
    case 'D':
      return Value(STOD(bytes));
    case 'L': {
      const char c = bytes.empty() ? ' ' : bytes[0];
      return Value(c == 'T' || c == 't' || c == 'Y' || c == 'y');
    }
    default:
      return Value(std::string(bytes));
  }
}

Encoded encodeField(const Field& field, const Value& value, char* out) {
  const auto width = static_cast<std::size_t>(field.width);
  switch (field.type) {
    case 'N':
    case 'F': {
      if (!value.isNumber()) return Encoded::WrongType;
      const double n = value.number();
      if (!std::isfinite(n)) return Encoded::TooWide;
      const std::string text = formatFixed(n, field.width, field.decimals);
      if (text.find('*') != std::string::npos) return Encoded::TooWide;
      std::memcpy(out, text.data(), width);
      return Encoded::Ok;
    }
    case 'D': {
      if (!value.isDate()) return Encoded::WrongType;
      const std::string text = DTOS(value.date());
      std::memset(out, ' ', width);
      std::memcpy(out, text.data(), std::min(width, text.size()));
      return Encoded::Ok;
    }
    case 'L':
      if (!value.isLogical()) return Encoded::WrongType;
      out[0] = value.logical() ? 'T' : 'F';
      return Encoded::Ok;
    default: {
      if (!value.isText()) return Encoded::WrongType;
      const std::string& text = value.text();
      const std::size_t n = std::min(width, text.size());
      std::memcpy(out, text.data(), n);
      std::memset(out + n, ' ', width - n);
      return Encoded::Ok;
    }
  }
}

}  // namespace blend
