#pragma once
// The functions stored expressions may call, by name without regard to case. Parts of the
// station that publish functions for their templates add them to a registry of their own that
// starts from the standard one.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "data/value.h"

namespace blend {
class Clock;
class TableScope;
struct Settings;
}  // namespace blend

namespace blend::expr {

struct Env;

// What a function sees: its evaluated arguments and the environment.
struct Call {
  const std::vector<Value>& args;
  Env& env;

  size_t count() const { return args.size(); }
  bool has(size_t i) const { return i < args.size() && !args[i].isNil(); }
  bool isText(size_t i) const { return i < args.size() && args[i].isText(); }
  bool isNumber(size_t i) const { return i < args.size() && args[i].isNumber(); }
  bool isDate(size_t i) const { return i < args.size() && args[i].isDate(); }
};

// A function answers false for arguments of the wrong kind; the evaluator then raises an
// argument error naming it.
using Native = std::function<bool(const Call& call, Value& result)>;

struct FunctionDef {
  std::string name;
  Native body;
  bool lazy = false;  // IIF: gets its arguments unevaluated (the evaluator handles it)
};

class FunctionRegistry {
 public:
  // The library every expression has.
  static const FunctionRegistry& standard();

  void add(std::string name, Native body);
  const FunctionDef* find(std::string_view name) const;

 private:
  std::map<std::string, FunctionDef, std::less<>> functions_;  // upper-case names
};

}  // namespace blend::expr
