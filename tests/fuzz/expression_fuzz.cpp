// libFuzzer target: any bytes as a stored expression, compiled and evaluated against a small
// record. Nothing may crash, hang or leak, whatever the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/clock.h"
#include "data/expr/expression.h"
#include "data/expr/named_values.h"
#include "data/settings.h"
#include "data/table_scope.h"

namespace {

class Defaulting : public blend::ErrorHandler {
 protected:
  blend::ErrorAnswer handle(const blend::ErrorRecord&) override {
    return blend::ErrorAnswer::giveUp();
  }
};

class OneRecord : public blend::TableScope {
 public:
  Lookup field(std::string_view alias, std::string_view name, blend::Value& out) override {
    if (!alias.empty() && alias != "T" && alias != "t") return Lookup::NoAlias;
    if (name == "CODE" || name == "code") return out = blend::Value("AB12  "), Lookup::Found;
    if (name == "QTY" || name == "qty") return out = blend::Value(blend::Number{12.5, 2, 8}), Lookup::Found;
    if (name == "DATE" || name == "date")
      return out = blend::Value(blend::Date::fromYmd(2024, 2, 29)), Lookup::Found;
    return Lookup::NoField;
  }
  std::optional<blend::TableState> state() override { return blend::TableState{}; }
};

// A clock that never waits, so TDELAY in a fuzzed text costs nothing.
class StillClock : public blend::Clock {
 public:
  blend::Date today() override { return blend::Date::fromYmd(2024, 1, 1); }
  double secondsSinceMidnight() override { return now += 1; }
  void sleep(double) override {}
  double now = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static blend::Settings settings;
  static blend::NamedValues names(&settings);
  Defaulting errors;
  OneRecord table;
  StillClock clock;
  blend::expr::Env env{errors, &table, &names, &clock, &settings};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const blend::Expression e = blend::Expression::compile(text, errors);
  e.evaluateList(env);
  return 0;
}
