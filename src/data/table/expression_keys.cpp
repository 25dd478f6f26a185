#include "expression_keys.h"

#include "data/expr/expression.h"
#include "data/format.h"
#include "workspace.h"

namespace blend {
namespace {

class CompiledKey : public KeyExpression {
 public:
  CompiledKey(Expression expression, Workspace& workspace, ErrorHandler& errors,
              const NamedValues* names)
      : expression_(std::move(expression)), workspace_(workspace), errors_(errors), names_(names) {}

  std::string key(Table& table) override {
    const std::unique_ptr<TableScope> scope = workspace_.scopeFor(table);
    expr::Env env{errors_, scope.get(), names_};
    const Value value = expression_.evaluate(env);
    // Keys are text; a key written as a number or date still orders by its text form.
    return value.isText() ? value.text() : displayText(value);
  }

 private:
  Expression expression_;
  Workspace& workspace_;
  ErrorHandler& errors_;
  const NamedValues* names_;
};

}  // namespace

KeyCompiler expressionKeys(Workspace& workspace, ErrorHandler& errors, const NamedValues* names) {
  return [&workspace, &errors, names](std::string_view text,
                                      Table&) -> std::unique_ptr<KeyExpression> {
    Expression expression = Expression::compile(text, errors);
    if (!expression.valid()) return nullptr;
    return std::make_unique<CompiledKey>(std::move(expression), workspace, errors, names);
  };
}

}  // namespace blend
