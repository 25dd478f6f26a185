// The table engine on a work-document table of 1,000,000 records: building the index, a shared
// open with the index in place, random key searches, full walks and appends under the write
// protocol; side by side with the same rows in an indexed SQLite table (look-ups, appends) and
// with a full read of the same .dbf by python3-dbfread. The tables are made once per run in a
// scratch folder (BLEND_BENCH_DIR, default the system's temporary folder) and removed at the
// end; the SQLite copy only when a SQLite benchmark runs. After Google Benchmark's own output
// a short table of the ratios is printed.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
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
constexpr std::uint32_t kSmallRecords = 1'000;
const char* const kKey = "DTOS(DATE)+TIME+NUMBER";
const char* const kScatteredKey = "COMPANY+NUMBER";
const char* const kPython = "/usr/bin/python3";  // the system one: it has python3-dbfread

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

// One of this process's read counters from /proc/self/io: "rchar:" the bytes asked of the
// kernel through read calls (page cache or not), which tells whether an open walks the table;
// "syscr:" the read calls, which tells what a walk costs per record.
std::uint64_t ioCounter(const char* which) {
  std::ifstream io("/proc/self/io");
  std::string name;
  std::uint64_t value = 0;
  while (io >> name >> value)
    if (name == which) return value;
  return 0;
}
std::uint64_t bytesReadSoFar() { return ioCounter("rchar:"); }
std::uint64_t readCallsSoFar() { return ioCounter("syscr:"); }

// What reading /proc/self/io itself adds to the count between two readings.
std::uint64_t bytesReadByProbe() {
  static const std::uint64_t probe = [] {
    const std::uint64_t a = bytesReadSoFar();
    return bytesReadSoFar() - a;
  }();
  return probe;
}

struct Sqlite {
  sqlite3* db = nullptr;
  ~Sqlite() { sqlite3_close(db); }
  void exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
      std::fprintf(stderr, "sqlite: %s: %s\n", sql, message ? message : "?");
      std::abort();
    }
  }
  sqlite3_stmt* prepare(const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "sqlite: %s: %s\n", sql, sqlite3_errmsg(db));
      std::abort();
    }
    return st;
  }
};

// The look-up by key prefix, first match in key order, as our seek does; the expression is the
// indexed one, so SQLite answers it from its index.
const char* const kSqliteSeek =
    "SELECT INDENT FROM wdata WHERE DATE||TIME||NUMBER >= ?1 AND DATE||TIME||NUMBER < ?2 "
    "ORDER BY DATE||TIME||NUMBER LIMIT 1";

struct Data {
  fs::path dir;
  fs::path table, index, scatteredIndex, smallTable, smallIndex, sqlitePath;
  std::vector<std::string> keys;  // a sample of existing keys for the searches
  QuietErrors errors;
  std::unique_ptr<Sqlite> sqlite;

  Data() {
    const char* where = std::getenv("BLEND_BENCH_DIR");
    dir = fs::path(where ? where : fs::temp_directory_path().string()) /
          ("blendctl-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    table = dir / "WDATA.DBF";
    index = dir / "WDATA.NTX";
    scatteredIndex = dir / "COMPANY.NTX";
    smallTable = dir / "WSMALL.DBF";
    smallIndex = dir / "WSMALL.NTX";
    sqlitePath = dir / "wdata.sqlite";
    keys = make(table, index, kRecords);
    make(smallTable, smallIndex, kSmallRecords);
  }
  ~Data() {
    sqlite.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  // A work-document table written straight to disk, with its index: documents numbered in
  // order, several a day, for a few hundred companies. Returns a shuffled sample of its keys.
  std::vector<std::string> make(const fs::path& path, const fs::path& indexPath,
                                std::uint32_t records) {
    const std::vector<FieldDef> defs = {
        {"INDENT", 'C', 24, 0}, {"NUMBER", 'C', 10, 0}, {"DATE", 'D', 8, 0},
        {"TIME", 'C', 8, 0},    {"COMPANY", 'C', 10, 0}, {"NAME", 'C', 40, 0},
        {"QTY", 'N', 12, 2},    {"AMOUNT", 'N', 14, 2},  {"BATCHES", 'N', 5, 0},
        {"STAT", 'C', 1, 0},    {"LINK", 'C', 1, 0}};
    if (!Table::create(errors, path, defs)) std::abort();
    DbfHeader header;
    std::string why;
    layoutFields(defs, header, why);
    header.count = records;
    header.lastUpdate = Date::fromYmd(2024, 1, 15);
    std::string out = serializeDbfHeader(header);
    out.reserve(out.size() + std::size_t{records} * header.recordLength + 1);
    std::mt19937 rng(42);
    std::string record(header.recordLength, ' ');
    const Date first = Date::fromYmd(2015, 1, 1);
    const auto put = [&](int f, const Value& v) {
      encodeField(header.fields[static_cast<std::size_t>(f)], v,
                  record.data() + header.fields[static_cast<std::size_t>(f)].offset);
    };
    std::vector<std::string> sample;
    char text[64];
    for (std::uint32_t r = 1; r <= records; ++r) {
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
      if (r % 997 == 0) sample.push_back(DTOS(first.plusDays(r / 200)) + time + number);
    }
    out += '\x1A';
    OsFile file;
    if (!file.create(path) || !file.writeAt(0, out.data(), out.size())) std::abort();
    std::shuffle(sample.begin(), sample.end(), rng);
    Table t(errors, compileKey);
    if (!t.open(path, OpenMode::Exclusive) || !t.buildIndex(indexPath, kKey)) std::abort();
    return sample;
  }

  // The same rows in SQLite, copied from the table as it stands (before any append), with an
  // index on the same key text. Made on first use: only the SQLite benchmarks need it.
  //
  // synchronous=OFF: our commit hands the record to the operating system and does not force it
  // to the disk, so SQLite does not sync either; rollback journal as shipped.
  Sqlite& sql() {
    if (sqlite) return *sqlite;
    sqlite = std::make_unique<Sqlite>();
    fs::remove(sqlitePath);
    if (sqlite3_open(sqlitePath.c_str(), &sqlite->db) != SQLITE_OK) std::abort();
    Sqlite& s = *sqlite;
    s.exec("PRAGMA synchronous=OFF");
    s.exec(
        "CREATE TABLE wdata(INDENT TEXT, NUMBER TEXT, DATE TEXT, TIME TEXT, COMPANY TEXT, "
        "NAME TEXT, QTY REAL, AMOUNT REAL, BATCHES INTEGER, STAT TEXT, LINK TEXT)");
    sqlite3_stmt* insert = s.prepare("INSERT INTO wdata VALUES(?,?,?,?,?,?,?,?,?,?,?)");
    Table t(errors, compileKey);
    if (!t.open(table, OpenMode::Exclusive)) std::abort();
    const int n = static_cast<int>(t.fields().size());
    std::vector<char> isNumber;
    for (const Field& f : t.fields()) isNumber.push_back(f.type == 'N');
    s.exec("BEGIN");
    std::uint32_t copied = 0;
    for (t.goTop(); !t.eof(); t.skip()) {
      for (int f = 0; f < n; ++f) {
        std::string_view raw = t.rawField(f);
        while (!raw.empty() && raw.back() == ' ') raw.remove_suffix(1);
        if (isNumber[static_cast<std::size_t>(f)]) {
          sqlite3_bind_double(insert, f + 1, std::strtod(std::string(raw).c_str(), nullptr));
        } else {
          sqlite3_bind_text(insert, f + 1, raw.data(), static_cast<int>(raw.size()), SQLITE_TRANSIENT);
        }
      }
      if (sqlite3_step(insert) != SQLITE_DONE) std::abort();
      sqlite3_reset(insert);
      if (++copied > kRecords) break;  // appends made meanwhile are not part of the copy
    }
    sqlite3_finalize(insert);
    s.exec("COMMIT");
    s.exec("CREATE INDEX wdata_key ON wdata(DATE||TIME||NUMBER)");
    s.exec("ANALYZE");
    // A look-up that scanned the table would make the comparison meaningless.
    std::string plan = std::string("EXPLAIN QUERY PLAN ") + kSqliteSeek;
    sqlite3_stmt* explain = s.prepare(plan.c_str());
    bool usesIndex = false;
    while (sqlite3_step(explain) == SQLITE_ROW)
      if (const std::string detail = reinterpret_cast<const char*>(sqlite3_column_text(explain, 3));
          detail.find("SEARCH") != std::string::npos &&
          detail.find("USING INDEX wdata_key") != std::string::npos)
        usesIndex = true;
    sqlite3_finalize(explain);
    if (!usesIndex) {
      std::fprintf(stderr, "sqlite: the key look-up does not use the index\n");
      std::abort();
    }
    return s;
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

// What an index build cannot do without: the keys of every record, sorted. The keys are
// computed once outside the timing; each iteration sorts a fresh copy (key + record number,
// as the index orders them).
void BM_SortKeys(benchmark::State& state) {
  Data& d = data();
  static std::vector<std::string> keys[2];
  std::vector<std::string>& mine = keys[state.range(0)];
  if (mine.empty()) {
    Table t(d.errors, compileKey);
    t.open(d.table, OpenMode::Exclusive);
    const auto key = compileKey(state.range(0) ? kScatteredKey : kKey, t);
    const std::uint32_t count = t.recCount();
    mine.reserve(count);
    for (std::uint32_t r = 1; r <= count; ++r) {
      t.goTo(r);
      std::string k = key->key(t);
      for (int shift = 24; shift >= 0; shift -= 8) k += static_cast<char>((r >> shift) & 0xFF);
      mine.push_back(std::move(k));
    }
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> copy = mine;
    state.ResumeTiming();
    std::sort(copy.begin(), copy.end());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetLabel(state.range(0) ? "COMPANY+NUMBER keys" : "DTOS(DATE)+TIME+NUMBER keys");
}
BENCHMARK(BM_SortKeys)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// On the small and the large table: the time should not follow the table's size, and the bytes
// read (header, count, first index page and record) should not either.
void BM_OpenSharedWithIndex(benchmark::State& state) {
  Data& d = data();
  const bool small = state.range(0) == kSmallRecords;
  const fs::path& table = small ? d.smallTable : d.table;
  const fs::path& index = small ? d.smallIndex : d.index;
  const auto openOnce = [&] {
    Table t(d.errors, compileKey);
    if (!t.open(table, OpenMode::Shared) || !t.attachIndex(index))
      state.SkipWithError("open failed");
    benchmark::DoNotOptimize(t.recNo());
  };
  const std::uint64_t probe = bytesReadByProbe();
  const std::uint64_t before = bytesReadSoFar();
  openOnce();
  const std::uint64_t read = bytesReadSoFar() - before - probe;
  for (auto _ : state) openOnce();
  state.counters["bytes_read"] = static_cast<double>(read);
  state.counters["table_bytes"] = static_cast<double>(fs::file_size(table) + fs::file_size(index));
}
BENCHMARK(BM_OpenSharedWithIndex)->Arg(kSmallRecords)->Arg(kRecords)->Unit(benchmark::kMicrosecond);

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

// The same keys as BM_Seek, as a prefix range on the indexed expression; the first field of the
// row found is fetched as our search makes the record current.
void BM_SqliteSeek(benchmark::State& state) {
  Data& d = data();
  Sqlite& s = d.sql();
  sqlite3_stmt* seek = s.prepare(kSqliteSeek);
  std::size_t i = 0;
  std::string upper;
  for (auto _ : state) {
    const std::string& key = d.keys[i++ % d.keys.size()];
    upper = key;
    ++upper.back();
    sqlite3_bind_text(seek, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    sqlite3_bind_text(seek, 2, upper.data(), static_cast<int>(upper.size()), SQLITE_STATIC);
    if (sqlite3_step(seek) != SQLITE_ROW) state.SkipWithError("not found");
    benchmark::DoNotOptimize(sqlite3_column_text(seek, 0));
    sqlite3_reset(seek);
  }
  sqlite3_finalize(seek);
}
BENCHMARK(BM_SqliteSeek)->Unit(benchmark::kMicrosecond);

void BM_WalkIndexOrder(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, state.range(0) ? OpenMode::Exclusive : OpenMode::Shared);
  t.attachIndex(d.index);
  const std::uint64_t calls = readCallsSoFar();
  for (auto _ : state) {
    std::uint32_t n = 0;
    for (t.goTop(); !t.eof(); t.skip()) ++n;
    if (n != t.recCount()) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["reads/rec"] = static_cast<double>(readCallsSoFar() - calls) /
                                static_cast<double>(state.iterations() * kRecords);
  state.SetLabel(state.range(0) ? "exclusive" : "shared");
}
BENCHMARK(BM_WalkIndexOrder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

// Shared, every field of every record turned into a value: the work dbfread does per record.
void BM_WalkIndexOrderFields(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, OpenMode::Shared);
  t.attachIndex(d.index);
  const int fields = static_cast<int>(t.fields().size());
  for (auto _ : state) {
    std::uint32_t n = 0;
    for (t.goTop(); !t.eof(); t.skip(), ++n)
      for (int f = 0; f < fields; ++f) benchmark::DoNotOptimize(t.field(f));
    if (n != t.recCount()) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.SetLabel("shared, all fields decoded");
}
BENCHMARK(BM_WalkIndexOrderFields)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_WalkRecordOrder(benchmark::State& state) {
  Data& d = data();
  Table t(d.errors, compileKey);
  t.open(d.table, OpenMode::Shared);
  const std::uint64_t calls = readCallsSoFar();
  for (auto _ : state) {
    std::uint32_t n = 0;
    for (t.goTop(); !t.eof(); t.skip()) ++n;
    if (n != t.recCount()) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["reads/rec"] = static_cast<double>(readCallsSoFar() - calls) /
                                static_cast<double>(state.iterations() * kRecords);
  state.SetLabel("shared");
}
BENCHMARK(BM_WalkRecordOrder)->Unit(benchmark::kMillisecond)->Iterations(2);

// Runs a command, returns its wall time in seconds and its first line of output; nothing when
// it failed.
std::optional<std::pair<double, std::string>> timeCommand(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::string out;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
  const int status = ::pclose(pipe);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (status != 0) return std::nullopt;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return std::make_pair(seconds, out);
}

// dbfread iterating every record of the same file (streaming, not loading it all), timed from
// outside the interpreter, start-up included; the start-up alone is reported beside it.
void BM_DbfreadFullRead(benchmark::State& state) {
  Data& d = data();
  if (::access(kPython, X_OK) != 0 ||
      !timeCommand(std::string(kPython) + " -c 'import dbfread' 2>/dev/null")) {
    state.SkipWithError("no /usr/bin/python3 with dbfread (python3-dbfread)");
    for (auto _ : state) {
    }
    return;
  }
  const auto startup = timeCommand(std::string(kPython) + " -c 'import dbfread'");
  const std::string command = std::string(kPython) +
                              " -c 'import sys, dbfread\n"
                              "n = 0\n"
                              "for r in dbfread.DBF(sys.argv[1], load=False): n += 1\n"
                              "print(n)' '" +
                              d.table.string() + "'";
  for (auto _ : state) {
    const auto run = timeCommand(command);
    if (!run) {
      state.SkipWithError("dbfread failed");
      break;
    }
    if (run->second != std::to_string(kRecords)) state.SkipWithError("dbfread missed records");
    state.SetIterationTime(run->first);
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["startup_s"] = startup ? startup->first : 0;
}
BENCHMARK(BM_DbfreadFullRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

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

// The same fields as BM_AppendWriteProtocol, the index kept. Rows per transaction: 1 is the
// analogue of our protocol (the write lock taken, one row, committed); more shows what batching
// buys. Time is per row.
void BM_SqliteAppend(benchmark::State& state) {
  Data& d = data();
  Sqlite& s = d.sql();
  sqlite3_stmt* insert =
      s.prepare("INSERT INTO wdata(NUMBER, DATE, TIME, COMPANY, QTY) VALUES(?, ?, ?, ?, ?)");
  const auto batch = static_cast<std::uint32_t>(state.range(0));
  static std::uint32_t n = 0;  // the numbers go on across the variants
  std::uint32_t inBatch = 0;
  char number[16];
  for (auto _ : state) {
    if (inBatch == 0) s.exec("BEGIN IMMEDIATE");
    std::snprintf(number, sizeof number, "%010u", 3'000'000 + n++);
    sqlite3_bind_text(insert, 1, number, -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, "20300101", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 3, "12:00:00", -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 4, "C00001", -1, SQLITE_STATIC);
    sqlite3_bind_double(insert, 5, 123.45);
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("insert failed");
    sqlite3_reset(insert);
    if (++inBatch == batch) {
      s.exec("COMMIT");
      inBatch = 0;
    }
  }
  if (inBatch) s.exec("COMMIT");
  sqlite3_finalize(insert);
  state.SetLabel(batch == 1 ? "own transaction per row" : "batched, per row");
}
BENCHMARK(BM_SqliteAppend)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------------------------
// The summary after the run

struct Measured {
  double seconds = 0;  // wall time per iteration
  benchmark::UserCounters counters;
};

class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, Measured> results;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      results[name] = {run.real_accumulated_time / static_cast<double>(run.iterations), run.counters};
    }
  }

  const Measured* find(const std::string& name) const {
    const auto it = results.find(name);
    return it == results.end() ? nullptr : &it->second;
  }
};

std::string timeText(double seconds) {
  char text[32];
  if (seconds >= 1) std::snprintf(text, sizeof text, "%.2f s", seconds);
  else if (seconds >= 1e-3) std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
  else std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
  return text;
}

// One line: theirs / ours (or the given quotient) against the goal; n/a when a side did not run.
void ratioLine(const SummaryReporter& r, const char* what, const std::string& ours,
               const std::string& theirs, double goal) {
  const Measured* a = r.find(ours);
  const Measured* b = r.find(theirs);
  if (!a || !b || a->seconds <= 0) {
    std::printf("  %-46s %12s %12s %9s\n", what, a ? timeText(a->seconds).c_str() : "n/a",
                b ? timeText(b->seconds).c_str() : "n/a", "n/a");
    return;
  }
  const double ratio = b->seconds / a->seconds;
  char goalText[32] = "";
  if (goal > 0) std::snprintf(goalText, sizeof goalText, ">= %g %s", goal, ratio >= goal ? "met" : "MISSED");
  std::printf("  %-46s %12s %12s %8.2fx  %s\n", what, timeText(a->seconds).c_str(),
              timeText(b->seconds).c_str(), ratio, goalText);
}

void printSummary(const SummaryReporter& r) {
  std::printf("\nSummary (wall time per operation; ratio = other / ours, above 1 = ours faster)\n");
  std::printf("  %-46s %12s %12s %9s\n", "", "ours", "other", "ratio");
  ratioLine(r, "key search, shared vs SQLite indexed look-up", "BM_Seek/0", "BM_SqliteSeek", 1);
  ratioLine(r, "key search, exclusive vs SQLite", "BM_Seek/1", "BM_SqliteSeek", 0);
  ratioLine(r, "append protocol vs SQLite row per transaction", "BM_AppendWriteProtocol",
            "BM_SqliteAppend/1", 0);
  ratioLine(r, "append protocol vs SQLite batched (per row)", "BM_AppendWriteProtocol",
            "BM_SqliteAppend/1000", 0);
  ratioLine(r, "index-order walk, shared vs dbfread full read", "BM_WalkIndexOrder/0",
            "BM_DbfreadFullRead", 20);
  ratioLine(r, "index-order walk, exclusive vs dbfread", "BM_WalkIndexOrder/1",
            "BM_DbfreadFullRead", 20);
  ratioLine(r, "same, every field decoded vs dbfread", "BM_WalkIndexOrderFields",
            "BM_DbfreadFullRead", 0);
  ratioLine(r, "record-order walk, shared vs dbfread", "BM_WalkRecordOrder", "BM_DbfreadFullRead", 0);
  // Above 1 would mean the build costs less than sorting its keys; close to 1 is the goal.
  ratioLine(r, "index build vs sorting its keys (table order)", "BM_IndexBuild/0", "BM_SortKeys/0", 0);
  ratioLine(r, "index build vs sorting its keys (unsorted)", "BM_IndexBuild/1", "BM_SortKeys/1", 0);
  if (const Measured* dbf = r.find("BM_DbfreadFullRead"))
    if (const auto it = dbf->counters.find("startup_s"); it != dbf->counters.end())
      std::printf("  (dbfread time includes %.0f ms of interpreter start-up and import)\n",
                  it->second.value * 1e3);

  const auto readsPerRecord = [&](const char* name) {
    const Measured* m = r.find(name);
    const auto it = m ? m->counters.find("reads/rec") : benchmark::UserCounters::const_iterator{};
    return m && it != m->counters.end() ? it->second.value : -1.0;
  };
  if (const double shared = readsPerRecord("BM_WalkIndexOrder/0"); shared >= 0)
    std::printf("  (read calls per record walked: index order shared %.2f, exclusive %.2f; "
                "record order shared %.2f)\n",
                shared, readsPerRecord("BM_WalkIndexOrder/1"), readsPerRecord("BM_WalkRecordOrder"));

  const Measured* small = r.find("BM_OpenSharedWithIndex/" + std::to_string(kSmallRecords));
  const Measured* large = r.find("BM_OpenSharedWithIndex/" + std::to_string(kRecords));
  if (small && large) {
    const auto count = [](const Measured* m, const char* name) {
      const auto it = m->counters.find(name);
      return it == m->counters.end() ? 0.0 : it->second.value;
    };
    std::printf("\nShared open with index (1k vs 1M records)\n");
    std::printf("  %-12s %12s %14s %16s\n", "records", "open", "bytes read", "table+index bytes");
    std::printf("  %-12u %12s %14.0f %16.0f\n", kSmallRecords, timeText(small->seconds).c_str(),
                count(small, "bytes_read"), count(small, "table_bytes"));
    std::printf("  %-12u %12s %14.0f %16.0f\n", kRecords, timeText(large->seconds).c_str(),
                count(large, "bytes_read"), count(large, "table_bytes"));
    std::printf("  open time 1M / 1k: %.2fx for %ux the records\n", large->seconds / small->seconds,
                kRecords / kSmallRecords);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary(reporter);
  std::fflush(stdout);
  benchmark::Shutdown();
  return 0;
}
