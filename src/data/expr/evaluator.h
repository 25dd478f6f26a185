#pragma once
// Walks a compiled tree. Internal to the expression code.

#include <vector>

#include "ast.h"
#include "expression.h"

namespace blend::expr {

// An error of the evaluator, raised through the handler; the answer's value (NIL on default)
// is what the failing step yields, and `retry` tells the caller to try the step again.
Value raiseError(Env& env, int genCode, int subCode, std::string description,
                 std::string operation, std::vector<Value> args, bool& retry);

class Evaluator {
 public:
  Evaluator(const Tree& tree, Env& env) : tree_(tree), env_(env) {}
  Value eval(int index);

 private:
  Value binary(const Node& node);
  Value call(const Node& node);
  Value name(const Node& node);
  Value field(const Node& node);
  Value memvar(const Node& node);
  Value element(const Node& node);

  const Tree& tree_;
  Env& env_;
};

// The operators, on evaluated operands. They answer false for operands of the wrong types.
bool applyBinary(Tok op, const Value& a, const Value& b, Value& result, bool& divideByZero);

}  // namespace blend::expr
