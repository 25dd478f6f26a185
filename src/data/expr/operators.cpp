// What each operator means for each kind of operand.
#include <cmath>

#include "evaluator.h"

namespace blend::expr {
namespace {

// "=" on text: the right text against as many leading bytes of the left one.
bool textEquals(const std::string& a, const std::string& b) {
  return a.size() >= b.size() && a.compare(0, b.size(), b) == 0;
}

// "<" and friends on text: a longer left text is cut to the right's length first; when the
// bytes agree the shorter text is the smaller.
int textCompare(const std::string& a, const std::string& b) {
  const std::string_view left = std::string_view(a).substr(0, std::min(a.size(), b.size()));
  const int c = left.compare(std::string_view(b).substr(0, left.size()));
  if (c != 0) return c < 0 ? -1 : 1;
  return left.size() < b.size() ? -1 : 0;
}

// The order of two values of one comparable type; false for anything else.
bool order(const Value& a, const Value& b, int& result) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Value::Type::Text:
      result = textCompare(a.text(), b.text());
      return true;
    case Value::Type::Number:
      result = a.number() < b.number() ? -1 : a.number() > b.number() ? 1 : 0;
      return true;
    case Value::Type::Date:
      result = a.date() < b.date() ? -1 : a.date() > b.date() ? 1 : 0;
      return true;
    case Value::Type::Logical:
      result = static_cast<int>(a.logical()) - static_cast<int>(b.logical());
      return true;
    default:
      return false;
  }
}

bool equals(const Value& a, const Value& b, bool exact, bool& result) {
  if (a.isNil() || b.isNil()) {
    result = a.isNil() && b.isNil();
    return true;
  }
  if (a.type() != b.type()) return false;
  if (a.isText()) {
    result = exact ? a.text() == b.text() : textEquals(a.text(), b.text());
    return true;
  }
  if (a.isArray()) return false;
  result = a == b;
  return true;
}

}  // namespace

bool applyBinary(Tok op, const Value& a, const Value& b, Value& result, bool& divideByZero) {
  divideByZero = false;
  const bool numbers = a.isNumber() && b.isNumber();
  switch (op) {
    case Tok::Plus:
      if (numbers) return result = Value(a.number() + b.number()), true;
      if (a.isText() && b.isText()) return result = Value(a.text() + b.text()), true;
      if (a.isDate() && b.isNumber()) return result = Value(a.date().plusDays(b.number())), true;
      if (a.isNumber() && b.isDate()) return result = Value(b.date().plusDays(a.number())), true;
      return false;
    case Tok::Minus:
      if (numbers) return result = Value(a.number() - b.number()), true;
      if (a.isDate() && b.isNumber()) return result = Value(a.date().plusDays(-b.number())), true;
      if (a.isDate() && b.isDate()) {
        if (a.date().empty() || b.date().empty()) return result = Value(0), true;
        return result = Value(static_cast<double>(a.date().dayNumber() - b.date().dayNumber())),
               true;
      }
      if (a.isText() && b.isText()) {
        // The left text's trailing blanks move to the end of the result.
        const std::string& left = a.text();
        const size_t kept = left.find_last_not_of(' ') + 1;
        return result = Value(left.substr(0, kept) + b.text() + std::string(left.size() - kept, ' ')),
               true;
      }
      return false;
    case Tok::Star:
      if (!numbers) return false;
      return result = Value(a.number() * b.number()), true;
    case Tok::Slash:
    case Tok::Percent:
      if (!numbers) return false;
      if (b.number() == 0) {
        divideByZero = true;
        return true;
      }
      result = Value(op == Tok::Slash ? a.number() / b.number() : std::fmod(a.number(), b.number()));
      return true;
    case Tok::Power:
      if (!numbers) return false;
      return result = Value(std::pow(a.number(), b.number())), true;
    case Tok::Eq:
    case Tok::ExactEq:
    case Tok::NotEq: {
      bool same;
      if (!equals(a, b, op == Tok::ExactEq, same)) return false;
      return result = Value(op == Tok::NotEq ? !same : same), true;
    }
    case Tok::Less:
    case Tok::LessEq:
    case Tok::Greater:
    case Tok::GreaterEq: {
      int c;
      if (!order(a, b, c)) return false;
      const bool r = op == Tok::Less     ? c < 0
                     : op == Tok::LessEq ? c <= 0
                     : op == Tok::Greater ? c > 0
                                          : c >= 0;
      return result = Value(r), true;
    }
    case Tok::Dollar:
      if (!(a.isText() && b.isText())) return false;
      return result = Value(!a.text().empty() && b.text().find(a.text()) != std::string::npos),
             true;
    default:
      return false;
  }
}

}  // namespace blend::expr
