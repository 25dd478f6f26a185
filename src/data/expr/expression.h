#pragma once
// Stored expressions: texts kept in settings, templates, report definitions and index files,
// compiled once and evaluated many times against the open tables and the named values.
//
// Nothing here throws. A syntax error is reported to the error handler when the text is
// compiled; type mismatches, unknown names and unknown functions when it is evaluated. The
// handler's answer decides: a substitute value, NIL (default), or another try (retry).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/error.h"
#include "data/value.h"
#include "functions.h"

namespace blend {
class Clock;
class NamedValues;
class TableScope;
struct Settings;
}  // namespace blend

namespace blend::expr {

struct Tree;

// Where an expression looks things up. Any pointer may be null: a name that needs it is then
// simply not found.
struct Env {
  ErrorHandler& errors;
  TableScope* tables = nullptr;
  const NamedValues* names = nullptr;
  Clock* clock = nullptr;
  const Settings* settings = nullptr;  // the weight picture of ZERO2
};

}  // namespace blend::expr

namespace blend {

class Expression {
 public:
  Expression();
  ~Expression();
  Expression(Expression&&) noexcept;
  Expression& operator=(Expression&&) noexcept;

  // Compiles the text; a syntax error goes to the handler (a retry compiles again) and leaves
  // an expression that is not valid and evaluates to NIL.
  static Expression compile(std::string_view text, ErrorHandler& errors,
                            const expr::FunctionRegistry& functions =
                                expr::FunctionRegistry::standard());

  bool valid() const { return tree_ != nullptr; }
  const std::string& text() const { return text_; }

  // The value; for a comma list, the first value (every item is evaluated, left to right).
  Value evaluate(expr::Env& env) const;
  // Every value of a comma list (one value for a plain expression).
  std::vector<Value> evaluateList(expr::Env& env) const;

 private:
  std::string text_;
  std::unique_ptr<expr::Tree> tree_;
};

// Compiles and evaluates in one go, for tools and one-off template lines.
Value evaluateText(std::string_view text, expr::Env& env);

}  // namespace blend
