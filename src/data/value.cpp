#include "value.h"

#include "format.h"

namespace blend {

char Value::typeLetter() const {
  switch (type()) {
    case Type::Text:
      return 'C';
    case Type::Number:
      return 'N';
    case Type::Date:
      return 'D';
    case Type::Logical:
      return 'L';
    case Type::Array:
      return 'A';
    case Type::Nil:
      break;
  }
  return 'U';
}

bool operator==(const Value& a, const Value& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Value::Type::Nil:
      return true;
    case Value::Type::Text:
      return a.text() == b.text();
    case Value::Type::Number:
      return a.number() == b.number();
    case Value::Type::Date:
      return a.date() == b.date();
    case Value::Type::Logical:
      return a.logical() == b.logical();
    case Value::Type::Array:
      return a.array() == b.array();
  }
  return false;
}

std::string displayText(const Value& value) {
  switch (value.type()) {
    case Value::Type::Text:
      return value.text();
    case Value::Type::Number:
      return STR(value.numberWithDecimals());
    case Value::Type::Date:
      return DTOC(value.date());
    case Value::Type::Logical:
      return value.logical() ? ".T." : ".F.";
    case Value::Type::Array:
      return "{...}";
    case Value::Type::Nil:
      break;
  }
  return "NIL";
}

}  // namespace blend
