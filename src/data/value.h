#pragma once
// The values stored expressions compute with and table fields hold: text (CP874 bytes),
// numbers that remember their decimals, dates, logicals, NIL and arrays.

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "date.h"

namespace blend {

struct Nil {
  friend bool operator==(Nil, Nil) { return true; }
};

// A number and how it is written without a width: a value read from a numeric field carries
// the field's width and decimals; one read by VAL the decimals written; a computed one neither
// (kFree: no decimals for a whole number, 2 otherwise).
struct Number {
  static constexpr int kFree = -1;
  double value = 0;
  int decimals = kFree;
  int width = kFree;
  int shownDecimals() const;
};

class Value;
using Array = std::vector<Value>;

class Value {
 public:
  enum class Type { Nil, Text, Number, Date, Logical, Array };

  Value() = default;
  Value(std::string text) : v_(std::move(text)) {}
  Value(const char* text) : v_(std::string(text)) {}
  Value(double number, int decimals = Number::kFree) : v_(Number{number, decimals}) {}
  Value(int number) : v_(Number{static_cast<double>(number), Number::kFree}) {}
  Value(Number number) : v_(number) {}
  Value(Date date) : v_(date) {}
  Value(bool logical) : v_(logical) {}
  Value(Array array) : v_(std::make_shared<Array>(std::move(array))) {}

  Type type() const { return static_cast<Type>(v_.index()); }
  bool isNil() const { return type() == Type::Nil; }
  bool isText() const { return type() == Type::Text; }
  bool isNumber() const { return type() == Type::Number; }
  bool isDate() const { return type() == Type::Date; }
  bool isLogical() const { return type() == Type::Logical; }
  bool isArray() const { return type() == Type::Array; }

  // Accessors for a value known to be of the type.
  const std::string& text() const { return std::get<std::string>(v_); }
  double number() const { return std::get<Number>(v_).value; }
  const Number& numberWithDecimals() const { return std::get<Number>(v_); }
  Date date() const { return std::get<Date>(v_); }
  bool logical() const { return std::get<bool>(v_); }
  const Array& array() const { return *std::get<std::shared_ptr<Array>>(v_); }

  // One letter for the type: C, N, D, L, U (NIL), A.
  char typeLetter() const;

  friend bool operator==(const Value& a, const Value& b);

 private:
  std::variant<Nil, std::string, Number, Date, bool, std::shared_ptr<Array>> v_;
};

// The value as text the way a report shows it: text as is, numbers by STR's rules without a
// width, dates as DD/MM/YYYY, logicals as .T./.F., NIL as "NIL".
std::string displayText(const Value& value);

}  // namespace blend
