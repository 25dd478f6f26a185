#include "evaluator.h"

#include <cmath>

#include "data/table_scope.h"
#include "named_values.h"

namespace blend::expr {
namespace {

struct OperatorInfo {
  const char* text;
  int subCode;
};

OperatorInfo operatorInfo(Tok op) {
  switch (op) {
    case Tok::Plus: return {"+", 1081};
    case Tok::Minus: return {"-", 1082};
    case Tok::Star: return {"*", 1083};
    case Tok::Slash: return {"/", 1084};
    case Tok::Percent: return {"%", 1085};
    case Tok::Power: return {"**", 1088};
    case Tok::ExactEq: return {"==", 1070};
    case Tok::Eq: return {"=", 1071};
    case Tok::NotEq: return {"<>", 1072};
    case Tok::Less: return {"<", 1073};
    case Tok::LessEq: return {"<=", 1074};
    case Tok::Greater: return {">", 1075};
    case Tok::GreaterEq: return {">=", 1076};
    case Tok::Dollar: return {"$", 1109};
    case Tok::And: return {".AND.", 1078};
    case Tok::Or: return {".OR.", 1079};
    case Tok::Not: return {".NOT.", 1077};
    default: return {"?", 1000};
  }
}

// Text results longer than this are refused: a template cannot need them, and a stray
// REPLICATE must not take the station's memory.
constexpr size_t kMaxText = 1 << 20;

}  // namespace

Value raiseError(Env& env, int genCode, int subCode, std::string description,
                 std::string operation, std::vector<Value> args, bool& retry) {
  ErrorRecord error;
  error.genCode = genCode;
  error.subsystem = "BASE";
  error.subCode = subCode;
  error.description = std::move(description);
  error.operation = std::move(operation);
  if (!args.empty()) error.args = std::move(args);
  error.canRetry = true;
  error.canDefault = true;
  const ErrorAnswer answer = env.errors.raise(error);
  retry = answer.kind == ErrorAnswer::Kind::Retry;
  return answer.kind == ErrorAnswer::Kind::Value ? answer.value : Value();
}

Value Evaluator::eval(int index) {
  const Node& node = tree_.nodes[index];
  switch (node.kind) {
    case NodeKind::Literal:
      return node.value;
    case NodeKind::Name:
      return name(node);
    case NodeKind::Field:
      return field(node);
    case NodeKind::Memvar:
      return memvar(node);
    case NodeKind::Element:
      return element(node);
    case NodeKind::Call:
      return call(node);
    case NodeKind::Binary:
      return binary(node);
    case NodeKind::List: {
      Value first;
      for (size_t i = 0; i < node.children.size(); ++i) {
        Value v = eval(node.children[i]);
        if (i == 0) first = std::move(v);
      }
      return first;
    }
    case NodeKind::And:
    case NodeKind::Or: {
      const bool isAnd = node.kind == NodeKind::And;
      for (;;) {
        const Value left = eval(node.children[0]);
        if (left.isLogical()) {
          if (left.logical() != isAnd) return Value(!isAnd);  // decided by the left operand
          const Value right = eval(node.children[1]);
          if (right.isLogical()) return right;
          bool retry;
          Value v = raiseError(env_, errc::kArgument, operatorInfo(isAnd ? Tok::And : Tok::Or).subCode,
                               "Argument error", operatorInfo(isAnd ? Tok::And : Tok::Or).text,
                               {left, right}, retry);
          if (!retry) return v;
          continue;
        }
        bool retry;
        Value v = raiseError(env_, errc::kArgument, operatorInfo(isAnd ? Tok::And : Tok::Or).subCode,
                             "Argument error", operatorInfo(isAnd ? Tok::And : Tok::Or).text, {left},
                             retry);
        if (!retry) return v;
      }
    }
    case NodeKind::Not:
    case NodeKind::Negate:
    case NodeKind::Plus:
      for (;;) {
        const Value v = eval(node.children[0]);
        if (node.kind == NodeKind::Not && v.isLogical()) return Value(!v.logical());
        if (node.kind != NodeKind::Not && v.isNumber()) {
          if (node.kind == NodeKind::Plus) return v;
          Number n = v.numberWithDecimals();
          n.value = -n.value;
          return Value(n);
        }
        bool retry;
        const Tok op = node.kind == NodeKind::Not ? Tok::Not : Tok::Minus;
        Value answer = raiseError(env_, errc::kArgument, node.kind == NodeKind::Not ? 1077 : 1080,
                                  "Argument error", operatorInfo(op).text, {v}, retry);
        if (!retry) return answer;
      }
  }
  return {};
}

Value Evaluator::binary(const Node& node) {
  for (;;) {
    const Value a = eval(node.children[0]);
    const Value b = eval(node.children[1]);
    Value result;
    bool divideByZero = false;
    bool retry = false;
    const OperatorInfo info = operatorInfo(node.op);
    if (applyBinary(node.op, a, b, result, divideByZero)) {
      if (!divideByZero) {
        if (result.isText() && result.text().size() > kMaxText)
          result = raiseError(env_, 3, 1209, "String overflow", info.text, {}, retry);
        else if (result.isNumber() && !std::isfinite(result.number()))
          result = raiseError(env_, 4, 1209, "Numeric overflow", info.text, {a, b}, retry);
        if (!retry) return result;
        continue;
      }
      result = raiseError(env_, errc::kZeroDivide, 1340, "Zero divisor", info.text, {a, b}, retry);
    } else {
      result = raiseError(env_, errc::kArgument, info.subCode, "Argument error", info.text, {a, b},
                          retry);
    }
    if (!retry) return result;
  }
}

Value Evaluator::call(const Node& node) {
  for (;;) {
    bool retry = false;
    if (!node.function) {
      Value v = raiseError(env_, errc::kNoFunction, 1001, "Undefined function", node.name, {},
                           retry);
      if (!retry) return v;
      continue;
    }
    if (node.function->lazy) {
      // IIF(c, a, b): only the chosen operand is evaluated.
      if (node.children.size() != 3) {
        Value v = raiseError(env_, errc::kArgument, 1066, "Argument error", "IIF", {}, retry);
        if (!retry) return v;
        continue;
      }
      const Value condition = eval(node.children[0]);
      if (condition.isLogical()) return eval(node.children[condition.logical() ? 1 : 2]);
      Value v = raiseError(env_, errc::kArgument, 1066, "Argument error", "IIF", {condition}, retry);
      if (!retry) return v;
      continue;
    }
    std::vector<Value> args;
    args.reserve(node.children.size());
    for (int child : node.children) args.push_back(eval(child));
    Value result;
    if (node.function->body(Call{args, env_}, result)) {
      if (!(result.isText() && result.text().size() > kMaxText)) return result;
      result = raiseError(env_, 3, 1209, "String overflow", node.function->name, {}, retry);
    } else {
      result = raiseError(env_, errc::kArgument, 1099, "Argument error", node.function->name,
                          std::move(args), retry);
    }
    if (!retry) return result;
  }
}

Value Evaluator::name(const Node& node) {
  for (;;) {
    Value v;
    if (env_.tables && env_.tables->field("", node.name, v) == TableScope::Lookup::Found) return v;
    if (env_.names)
      if (auto named = env_.names->get(node.name)) return *named;
    bool retry;
    v = raiseError(env_, errc::kNoVariable, 1003, "Variable does not exist", node.name, {}, retry);
    if (!retry) return v;
  }
}

Value Evaluator::field(const Node& node) {
  for (;;) {
    Value v;
    const TableScope::Lookup found =
        env_.tables ? env_.tables->field(node.alias, node.name, v) : TableScope::Lookup::NoAlias;
    if (found == TableScope::Lookup::Found) return v;
    bool retry;
    if (found == TableScope::Lookup::NoField)
      v = raiseError(env_, errc::kNoVariable, 1003, "Variable does not exist",
                     node.alias + "->" + node.name, {}, retry);
    else
      v = raiseError(env_, errc::kNoAlias, 1002, "Alias does not exist", node.alias, {}, retry);
    if (!retry) return v;
  }
}

Value Evaluator::memvar(const Node& node) {
  for (;;) {
    if (env_.names)
      if (auto named = env_.names->get(node.name)) return *named;
    bool retry;
    Value v =
        raiseError(env_, errc::kNoVariable, 1003, "Variable does not exist", node.name, {}, retry);
    if (!retry) return v;
  }
}

Value Evaluator::element(const Node& node) {
  for (;;) {
    const Value array = eval(node.children[0]);
    const Value index = eval(node.children[1]);
    bool retry;
    Value v;
    if (array.isArray() && index.isNumber()) {
      const double i = std::trunc(index.number());
      if (i >= 1 && i <= static_cast<double>(array.array().size()))
        return array.array()[static_cast<size_t>(i) - 1];
      v = raiseError(env_, errc::kBound, 1132, "Bound error", "array access", {array, index},
                     retry);
    } else {
      v = raiseError(env_, errc::kArgument, 1068, "Argument error", "array access", {array, index},
                     retry);
    }
    if (!retry) return v;
  }
}

}  // namespace blend::expr
