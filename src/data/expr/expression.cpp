#include "expression.h"

#include "evaluator.h"
#include "parser.h"

namespace blend {

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::compile(std::string_view text, ErrorHandler& errors,
                               const expr::FunctionRegistry& functions) {
  Expression e;
  e.text_ = std::string(text);
  for (;;) {
    expr::ParseResult parsed = expr::parse(text, functions);
    if (parsed.error.empty()) {
      e.tree_ = std::make_unique<expr::Tree>(std::move(parsed.tree));
      return e;
    }
    ErrorRecord error;
    error.genCode = errc::kSyntax;
    error.subsystem = "BASE";
    error.subCode = 1449;
    error.description = "Syntax error: " + parsed.error + " at " + std::to_string(parsed.errorPos + 1);
    // The text itself, cut so that a runaway template does not flood the message.
    error.operation = std::string(text.substr(0, 200));
    error.canRetry = true;
    error.canDefault = true;
    if (errors.raise(error).kind != ErrorAnswer::Kind::Retry) return e;
  }
}

Value Expression::evaluate(expr::Env& env) const {
  if (!tree_) return {};
  return expr::Evaluator(*tree_, env).eval(tree_->root);
}

std::vector<Value> Expression::evaluateList(expr::Env& env) const {
  if (!tree_) return {};
  const expr::Node& root = tree_->nodes[tree_->root];
  expr::Evaluator evaluator(*tree_, env);
  if (root.kind != expr::NodeKind::List) return {evaluator.eval(tree_->root)};
  std::vector<Value> values;
  for (int child : root.children) values.push_back(evaluator.eval(child));
  return values;
}

Value evaluateText(std::string_view text, expr::Env& env) {
  return Expression::compile(text, env.errors).evaluate(env);
}

}  // namespace blend
