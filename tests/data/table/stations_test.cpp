// Several stations, each a process of its own, working on one table under the locks; and a
// station killed while it writes.

#include <map>
#include <set>

#include "child_process.h"
#include "data/settings.h"
#include "data/table/access.h"
#include "support/scripted_ui.h"
#include "table_fixture.h"

namespace blend::test {
namespace {

class ManyStations : public TableFixture {
 protected:
  void SetUp() override {
    makeTable("JOBS.DBF",
              {{"CODE", 'C', 12, 0}, {"STATION", 'N', 3, 0}, {"SEQ", 'N', 7, 0}, {"TOTAL", 'N', 9, 0}},
              {{"#COUNTER", 0, 0, 0}});
  }

  ChildProcess* start(std::vector<std::unique_ptr<ChildProcess>>& all, const std::string& mode,
                      std::vector<std::string> args) {
    args.insert(args.begin(), {TABLE_STATION, mode, dir.path().string()});
    all.push_back(std::make_unique<ChildProcess>(args));
    EXPECT_TRUE(all.back()->started());
    return all.back().get();
  }

  bool openJobs(bool exclusive) {
    return OPEN(ctx, ws, dir.path().string() + "/", "JOBS", "CODE", exclusive, "JOBS", "JOBS");
  }

  // Walks the index: every record exactly once, keys in order. The record numbers in order.
  std::vector<std::uint32_t> checkIndex(Table& t) {
    std::vector<std::uint32_t> order = walk(t);
    std::set<std::uint32_t> unique(order.begin(), order.end());
    EXPECT_EQ(order.size(), t.recCount());
    EXPECT_EQ(unique.size(), order.size());
    if (!unique.empty()) {
      EXPECT_EQ(*unique.begin(), 1u);
      EXPECT_EQ(*unique.rbegin(), t.recCount());
    }
    return order;
  }

  Settings settings;
  ScriptedUi ui;
  SystemClock clock;
  Context ctx{settings, ui, clock, errors};
  Workspace ws{errors, fieldJoinKeys()};
};

TEST_F(ManyStations, AppendAndUpdateTogetherWithoutLosingAnything) {
  constexpr int kStations = 4, kAppends = 150, kUpdates = 150;
  // No index yet: the stations race to build it, and one file wins.
  std::vector<std::unique_ptr<ChildProcess>> stations;
  for (int s = 1; s <= kStations; ++s)
    start(stations, "work", {std::to_string(s), std::to_string(kAppends), std::to_string(kUpdates)});
  for (auto& s : stations) EXPECT_EQ(s->wait(), 0);

  ASSERT_TRUE(openJobs(false));
  Table& t = *ws.current();
  ASSERT_EQ(t.recCount(), 1u + kStations * kAppends);
  ASSERT_TRUE(t.seek("#COUNTER"));
  EXPECT_EQ(t.field("TOTAL").number(), kStations * kUpdates);  // no update lost

  std::map<std::pair<int, int>, int> seen;  // (station, seq) -> times
  t.setOrder(0);
  for (t.goTop(); !t.eof(); t.skip())
    if (t.recNo() > 1)
      ++seen[{static_cast<int>(t.field("STATION").number()), static_cast<int>(t.field("SEQ").number())}];
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kStations * kAppends));
  for (const auto& [who, times] : seen) EXPECT_EQ(times, 1) << who.first << "/" << who.second;

  // The index holds every record once, under its current key, in key order.
  t.setOrder(1);
  std::string previous;
  std::uint32_t n = 0;
  for (t.goTop(); !t.eof(); t.skip(), ++n) {
    const std::string code = t.field("CODE").text();
    EXPECT_LE(previous, code);
    EXPECT_EQ(t.keyPosition(), n + 1);
    previous = code;
  }
  EXPECT_EQ(checkIndex(t).size(), t.recCount());
  ASSERT_TRUE(t.seek("000150-03"));
  EXPECT_EQ(t.field("SEQ").number(), 150);
}

TEST_F(ManyStations, AStationKilledWhileWritingLeavesATableThatOpensAndReads) {
  std::set<std::string> codes;
  for (int round = 1; round <= 3; ++round) {
    std::vector<std::unique_ptr<ChildProcess>> stations;
    ChildProcess* a = start(stations, "churn", {std::to_string(round * 10 + 1)});
    ChildProcess* b = start(stations, "churn", {std::to_string(round * 10 + 2)});
    for (int i = 0; i < 40 * round; ++i) ASSERT_TRUE(a->readLine()) << "station stopped";
    a->kill();
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(b->readLine()) << "station stopped";
    b->kill();
    a->wait();
    b->wait();

    // A shared open uses the index as the killed stations left it (records they appended but
    // did not index are added).
    ASSERT_TRUE(openJobs(false));
    Table& t = *ws.current();
    checkIndex(t);
    t.setOrder(0);
    codes.clear();
    for (t.goTop(); !t.eof(); t.skip()) {
      const std::string code = t.field("CODE").text();
      if (code.find_first_not_of(' ') == std::string::npos) continue;  // appended, then killed
      EXPECT_TRUE(codes.insert(code).second) << code;
    }
    EXPECT_GE(codes.size(), static_cast<std::size_t>(40 * round + 20));
    ws.closeAll();
  }

  // An exclusive open rebuilds the index: then every key is the record's own.
  ASSERT_TRUE(openJobs(true));
  Table& t = *ws.current();
  checkIndex(t);
  for (const std::string& code : codes) {
    ASSERT_TRUE(t.seek(code)) << code;
    EXPECT_EQ(t.field("CODE").text(), code);
  }
}

}  // namespace
}  // namespace blend::test

namespace blend::test {
namespace {

// Stations that take document numbers at the same moment: the exclusive open serialises them,
// so every number is handed out once and the counter ends right.
TEST_F(ManyStations, StationsNumberingAtOnceGetEveryNumberOnce) {
  ASSERT_TRUE(Table::create(errors, file("CONSEC.DBF"), {{"CSNO", 'N', 12, 0}}));
  {
    auto t = openTable("CONSEC.DBF", OpenMode::Exclusive);
    ASSERT_TRUE(t->append());
    ASSERT_TRUE(t->setField("CSNO", Value(41)));
  }
  constexpr int kStations = 3, kEach = 40;
  std::vector<std::unique_ptr<ChildProcess>> stations;
  for (int s = 1; s <= kStations; ++s) start(stations, "number", {std::to_string(s), std::to_string(kEach)});
  for (auto& s : stations) EXPECT_EQ(s->wait(), 0);

  std::set<std::string> numbers;
  for (int s = 1; s <= kStations; ++s) {
    std::ifstream in(file("numbers-" + std::to_string(s) + ".txt"));
    for (std::string line; std::getline(in, line);) {
      EXPECT_NE(line, "0000000000") << "a station gave up waiting";
      numbers.insert(line);
    }
  }
  EXPECT_EQ(numbers.size(), static_cast<size_t>(kStations * kEach));
  EXPECT_EQ(*numbers.begin(), "0000000041");
  auto t = openTable("CONSEC.DBF");
  t->goTo(1);
  EXPECT_EQ(t->field("CSNO").number(), 41 + kStations * kEach);
}

}  // namespace
}  // namespace blend::test
