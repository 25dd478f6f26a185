// The table engine on a work-document table of 1,000,000 records: building the index, a shared
// open with the index in place, random key searches, a full walk in index order and appends
// under the write protocol. The table is made once per run in a scratch folder
// (BLEND_BENCH_DIR, default the system's temporary folder) and removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "data/error.h"
#include "data/table/dbf_field.h"
#include "data/table/dbf_table.h"
#include "data/table/os_file.h"

namespace {

using namespace blend;
namespace fs = std::filesystem;

constexpr std::uint32_t kRecords = 1'000'000;
const char* const kKey = "DTOS(DATE)+TIME+NUMBER";
const char* const kScatteredKey = "COMPANY+NUMBER";

class QuietErrors : public ErrorHandler {
 protected:
  ErrorAnswer handle(const ErrorRecord& e) override {
    std::fprintf(stderr, "error: %s\n", ERRORMESSAGE(e).c_str());
    return ErrorAnswer::giveUp();
  }
};

// Field names joined by "+", DTOS(x) read as the date's stored YYYYMMDD: enough for the keys
// benchmarked here without the expression compiler.
class JoinKey : public KeyExpression {
 public:
  explicit JoinKey(std::vector<int> f) : fields_(std::move(f)) {}
  std::string key(Table& t) override {
    std::string k;
    for (int f : fields_) k += t.rawField(f);
    return k;
  }

 private:
  std::vector<int> fields_;
};

std::unique_ptr<KeyExpression> compileKey(std::string_view text, Table& t) {
  std::vector<int> fields;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t plus = text.find('+', start);
    if (plus == std::string_view::npos) plus = text.size();
    std::string_view term = text.substr(start, plus - start);
    if (term.substr(0, 5) == "DTOS(") term = term.substr(5, term.size() - 6);
    const int f = t.fieldIndex(term);
    if (f < 0) return nullptr;
    fields.push_back(f);
    start = plus + 1;
  }
  return std::make_unique<JoinKey>(std::move(fields));
}

struct Data {
  fs::path dir;
  fs::path table, index, scatteredIndex;
  std::vector<std::string> keys;  // a sample of existing keys for the searches
  QuietErrors errors;

  Data() {
    const char* where = std::getenv("BLEND_BENCH_DIR");
    dir = fs::path(where ? where : fs::temp_directory_path().string()) /
          ("blendctl-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    table = dir / "WDATA.DBF";
    index = dir / "WDATA.NTX";
    scatteredIndex = dir / "COMPANY.NTX";
    make();
  }
  ~Data() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // A work-document table written straight to disk: documents numbered in order, several a
  // day, for a few hundred companies.
  void make() {
    const std::vector<FieldDef> defs = {
        {"INDENT", 'C', 24, 0}, {"NUMBER", 'C', 10, 0}, {"DATE", 'D', 8, 0},
        {"TIME", 'C', 8, 0},    {"COMPANY", 'C', 10, 0}, {"NAME", 'C', 40, 0},
        {"QTY", 'N', 12, 2},    {"AMOUNT", 'N', 14, 2},  {"BATCHES", 'N', 5, 0},
        {"STAT", 'C', 1, 0},    {"LINK", 'C', 1, 0}};
    if (!Table::create(errors, table, defs)) std::abort();
    DbfHeader header;
    std::string why;
    layoutFields(defs, header, why);
    header.count = kRecords;
    header.lastUpdate = Date::fromYmd(2024, 1, 15);
    std::string out = serializeDbfHeader(header);
    std::mt19937 rng(42);
    std::string record(header.recordLength, ' ');
    const Date first = Date::fromYmd(2015, 1, 1);
    const auto put = [&](int f, const Value& v) {
      encodeField(header.fields[static_cast<std::size_t>(f)], v,
                  record.data() + header.fields[static_cast<std::size_t>(f)].offset);
    };
    char text[64];
    for (std::uint32_t r = 1; r <= kRecords; ++r) {
      const int seconds = static_cast<int>(r % 200) * 300;
      std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
      const std::string time = text;
      std::snprintf(text, sizeof text, "%010u", r);
      const std::string number = text;
      std::snprintf(text, sizeof text, "C%05u", static_cast<unsigned>(rng() % 400));
      put(0, Value("WD" + number + "-" + time));
      put(1, Value(number));
      put(2, Value(first.plusDays(r / 200)));
      put(3, Value(time));
      put(4, Value(std::string(text)));
      put(5, Value(std::string("Customer delivery ") + text));
      put(6, Value(static_cast<double>(rng() % 100000) / 100));
      put(7, Value(static_cast<double>(rng() % 10000000) / 100));
      put(8, Value(static_cast<int>(rng() % 50)));
      put(9, Value("2"));
      put(10, Value("X"));
      out += record;
      if (r % 997 == 0) keys.push_back(DTOS(first.plusDays(r / 200)) + time + number);
    }
    out += '\x1A';
    OsFile file;
    if (!file.create(table) || !file.writeAt(0, out.data(), out.size())) std::abort();
    std::shuffle(keys.begin(), keys.end(), rng);
    Table t(errors, compileKey);
    if (!t.open(table, OpenMode::Exclusive) || !t.buildIndex(index, kKey)) std::abort();
  }
};

Data& data() {
  static Data d;
  return d;
}

void BM_IndexBuild(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, OpenMode::Exclusive);
  const char* key = state.range(0) ? kScatteredKey : kKey;
  const fs::path path = state.range(0) ? d.scatteredIndex : d.index;
  for (auto _ : state)
    if (!t.buildIndex(path, key)) state.SkipWithError("build failed");
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetLabel(state.range(0) ? "COMPANY+NUMBER (sorted here)" : "DTOS(DATE)+TIME+NUMBER (in table order)");
}
BENCHMARK(BM_IndexBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenSharedWithIndex(benchmark::State& state) {
  Data& d = data();
  for (auto _ : state) {
    Table t(d.errors, compileKey);
    if (!t.open(d.table, OpenMode::Shared) || !t.attachIndex(d.index))
      state.SkipWithError("open failed");
    benchmark::DoNotOptimize(t.recNo());
  }
}
BENCHMARK(BM_OpenSharedWithIndex)->Unit(benchmark::kMicrosecond);

void BM_Seek(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, state.range(0) ? OpenMode::Exclusive : OpenMode::Shared);
  t.attachIndex(d.index);
  std::size_t i = 0;
  for (auto _ : state) {
    if (!t.seek(d.keys[i++ % d.keys.size()])) state.SkipWithError("not found");
    benchmark::DoNotOptimize(t.rawField(0));
  }
  state.SetLabel(state.range(0) ? "exclusive" : "shared");
}
BENCHMARK(BM_Seek)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_WalkIndexOrder(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, state.range(0) ? OpenMode::Exclusive : OpenMode::Shared);
  t.attachIndex(d.index);
  for (auto _ : state) {
    std::uint32_t n = 0;
    for (t.goTop(); !t.eof(); t.skip()) ++n;
    if (n != t.recCount()) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetLabel(state.range(0) ? "exclusive" : "shared");
}
BENCHMARK(BM_WalkIndexOrder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

// Append: append lock, new record locked, fields assigned, commit, unlock; with the index kept.
void BM_AppendWriteProtocol(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, OpenMode::Shared);
  t.attachIndex(d.index);
  std::uint32_t n = 0;
  char number[16];
  for (auto _ : state) {
    if (!t.append() || t.lockRecord() != LockResult::Locked) state.SkipWithError("append failed");
    std::snprintf(number, sizeof number, "%010u", 2'000'000 + n++);
    t.setField("NUMBER", Value(std::string(number)));
    t.setField("DATE", Value(Date::fromYmd(2030, 1, 1)));
    t.setField("TIME", Value("12:00:00"));
    t.setField("COMPANY", Value("C00001"));
    t.setField("QTY", Value(123.45));
    t.commit();
    t.unlockRecords();
  }
}
BENCHMARK(BM_AppendWriteProtocol)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
