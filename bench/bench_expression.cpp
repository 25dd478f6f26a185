// Evaluations per second of stored expressions against one record: an index key (evaluated for
// every record an index build or write touches) and the shipped label template.
#include <benchmark/benchmark.h>

#include <array>

#include "data/clock.h"
#include "data/expr/expression.h"
#include "data/expr/named_values.h"
#include "data/settings.h"
#include "data/table_scope.h"
#include "data/text_util.h"

namespace {

using namespace blend;

class Quiet : public ErrorHandler {
 protected:
  ErrorAnswer handle(const ErrorRecord&) override { return ErrorAnswer::giveUp(); }
};

// One record of a batch row with its order line, looked up by name like a table does.
class Record : public TableScope {
 public:
  Record() {
    add("BATCHING", "DATE", Value(Date::fromYmd(2024, 2, 29)));
    add("BATCHING", "TIME", Value("13:05:09"));
    add("BATCHING", "NUMBER", Value("0000000041"));
    add("BATCHING", "ITEM", Value("0007"));
    add("DETAIL", "FORMULA", Value("15-15-15  "));
    for (int i = 1; i <= 8; ++i) {
      add("BATCHING", "TARGET" + std::to_string(i), Value(Number{100.0 + i, 2, 10}));
      add("BATCHING", "ACTUAL" + std::to_string(i), Value(Number{99.5 + i, 2, 10}));
      add("DETAIL", "AGG" + std::to_string(i), Value("MAT" + std::to_string(i) + "      "));
    }
  }
  Lookup field(std::string_view alias, std::string_view name, Value& out) override {
    if (alias.empty()) alias = "BATCHING";
    bool aliasSeen = false;
    for (const auto& f : fields_) {
      if (!equalsIgnoringCase(f.alias, alias)) continue;
      aliasSeen = true;
      if (equalsIgnoringCase(f.name, name)) {
        out = f.value;
        return Lookup::Found;
      }
    }
    return aliasSeen ? Lookup::NoField : Lookup::NoAlias;
  }
  std::optional<TableState> state() override { return TableState{}; }

 private:
  struct Field {
    std::string alias, name;
    Value value;
  };
  void add(std::string alias, std::string name, Value v) {
    fields_.push_back({std::move(alias), std::move(name), std::move(v)});
  }
  std::vector<Field> fields_;
};

void run(benchmark::State& state, std::string_view text) {
  Quiet errors;
  Record record;
  Settings settings = readSettings("/nonexistent/MAIN.INI");
  NamedValues names(&settings);
  SystemClock clock;
  expr::Env env{errors, &record, &names, &clock, &settings};
  const Expression e = Expression::compile(text, errors);
  for (auto _ : state) benchmark::DoNotOptimize(e.evaluate(env));
  state.SetItemsProcessed(state.iterations());
}

void IndexKey(benchmark::State& state) { run(state, "DTOS(DATE)+TIME+NUMBER"); }
BENCHMARK(IndexKey);

void LabelTemplate(benchmark::State& state) {
  run(state, readSettings("/nonexistent/MAIN.INI").CBARDATA);
}
BENCHMARK(LabelTemplate);

void CompileLabelTemplate(benchmark::State& state) {
  Quiet errors;
  const std::string text = readSettings("/nonexistent/MAIN.INI").CBARDATA;
  for (auto _ : state) benchmark::DoNotOptimize(Expression::compile(text, errors));
}
BENCHMARK(CompileLabelTemplate);

}  // namespace

BENCHMARK_MAIN();
