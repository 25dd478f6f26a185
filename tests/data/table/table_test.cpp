// The storage operations of an open table: moving in index and record order, key searches, the
// blank record, deletion marks, changes and locks between stations, relations and scans.

#include <functional>
#include <tuple>

#include "data/table/lock_ranges.h"
#include "data/table/os_file.h"
#include "table_fixture.h"

namespace blend::test {
namespace {

class Navigation : public TableFixture {
 protected:
  void SetUp() override {
    // In key order: AAA(3) ABC(1) ABD(4) B(2) B(5) C(6).
    makeTable("T.DBF", {{"CODE", 'C', 4, 0}, {"QTY", 'N', 6, 1}, {"DATE", 'D', 8, 0}},
              {{"ABC", 1.0}, {"B", 2.0}, {"AAA", 3.0}, {"ABD", 4.0}, {"B", 5.0}, {"C", 6.0}});
    t = openTable("T.DBF");
    ASSERT_TRUE(t->buildIndex(file("T.NTX"), "CODE"));
    ASSERT_TRUE(t->attachIndex(file("T.NTX")));
  }

  void expectBlank(std::uint32_t count = 6) {
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->recNo(), count + 1);
    EXPECT_EQ(t->field("CODE").text(), "    ");
    EXPECT_EQ(t->field("QTY").number(), 0);
    EXPECT_TRUE(t->field("DATE").date().empty());
    EXPECT_FALSE(t->deleted());
    EXPECT_EQ(t->keyPosition(), 0u);
  }

  std::unique_ptr<Table> t;
};

TEST_F(Navigation, KeySearchesArePrefixSearches) {
  struct Case {
    const char* sought;
    bool soft;
    bool found;
    std::uint32_t recno;  // 7: the blank record
  };
  const std::vector<Case> cases = {
      {"AB", false, true, 1},         // no key AB: the first key beginning with it
      {"", false, true, 3},           // the empty key finds the first record
      {"ABC and more", false, true, 1},  // cut to the key width: "ABC "
      {"B", false, true, 2},          // equal keys in record order
      {"ABE", false, false, 7},
      {"ZZ", false, false, 7},
      {"ABE", true, false, 2},        // soft: the first greater key
      {"ZZ", true, false, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sought);
    EXPECT_EQ(t->seek(c.sought, c.soft), c.found);
    EXPECT_EQ(t->found(), c.found);
    EXPECT_EQ(t->recNo(), c.recno);
    EXPECT_EQ(t->eof(), c.recno == 7);
    EXPECT_FALSE(t->bof());
  }
  t->seek("NONE");
  expectBlank();
}

TEST_F(Navigation, SkipsInIndexOrderWithTheBlankRecordAndTheFlags) {
  EXPECT_EQ(walk(*t), (std::vector<std::uint32_t>{3, 1, 4, 2, 5, 6}));
  t->goTop();
  t->skip(-1);
  EXPECT_EQ(t->recNo(), 3u);
  EXPECT_TRUE(t->bof());
  t->skip();
  EXPECT_EQ(t->recNo(), 1u);
  EXPECT_FALSE(t->bof());
  t->skip(3);
  EXPECT_EQ(t->recNo(), 5u);
  EXPECT_EQ(t->keyPosition(), 5u);
  t->skip(-10);
  EXPECT_EQ(t->recNo(), 3u);
  EXPECT_TRUE(t->bof());

  t->goBottom();
  EXPECT_EQ(t->recNo(), 6u);
  t->skip();
  expectBlank();
  t->skip();
  expectBlank();
  t->skip(-1);
  EXPECT_EQ(t->recNo(), 6u);
  EXPECT_FALSE(t->eof());
  t->goTo(99);
  expectBlank();
  t->skip(-2);
  EXPECT_EQ(t->recNo(), 5u);
}

TEST_F(Navigation, RecordOrderFollowsTheSameRules) {
  t->setOrder(0);
  EXPECT_EQ(walk(*t), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));
  t->goTop();
  t->skip(-1);
  EXPECT_EQ(t->recNo(), 1u);
  EXPECT_TRUE(t->bof());
  t->goBottom();
  t->skip();
  expectBlank();
  t->skip(-1);
  EXPECT_EQ(t->recNo(), 6u);
  EXPECT_EQ(t->keyPosition(), 6u);
  t->setOrder(1);
  EXPECT_EQ(t->keyPosition(), 6u);
  t->goTo(2);
  EXPECT_EQ(t->keyPosition(), 4u);
}

TEST_F(Navigation, AnEmptyTableIsAtBothEnds) {
  makeTable("E.DBF", {{"CODE", 'C', 4, 0}}, {});
  auto e = openTable("E.DBF");
  ASSERT_TRUE(e->buildIndex(file("E.NTX"), "CODE"));
  ASSERT_TRUE(e->attachIndex(file("E.NTX")));
  for (int order : {0, 1}) {
    e->setOrder(order);
    e->goTop();
    EXPECT_TRUE(e->eof() && e->bof());
    EXPECT_EQ(e->recNo(), 1u);
    e->skip(-1);
    EXPECT_TRUE(e->eof() && e->bof());
    e->goBottom();
    EXPECT_TRUE(e->eof() && e->bof());
  }
  EXPECT_FALSE(e->seek(""));
  EXPECT_TRUE(e->eof());
}

TEST_F(Navigation, DeletedRecordsAreFoundAndCounted) {
  ASSERT_TRUE(t->seek("ABC"));
  ASSERT_EQ(t->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(t->deleteRecord());
  t->unlockRecords();
  EXPECT_TRUE(t->seek("AB"));
  EXPECT_EQ(t->recNo(), 1u);
  EXPECT_TRUE(t->deleted());
  EXPECT_EQ(t->recCount(), 6u);
  EXPECT_EQ(walk(*t).size(), 6u);
  t->seek("ABC");
  ASSERT_EQ(t->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(t->recall());
  t->unlockRecords();
  t->goTo(1);
  EXPECT_FALSE(t->deleted());
}

TEST_F(Navigation, ChangingTheKeyMovesTheRecordInTheOrder) {
  t->seek("AAA");
  ASSERT_EQ(t->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(t->setField("code", Value("BB")));
  // Before the change is written out the search already sees it: every move writes it first.
  EXPECT_TRUE(t->seek("BB"));
  EXPECT_EQ(t->recNo(), 3u);
  EXPECT_EQ(t->keyPosition(), 5u);
  t->skip();
  EXPECT_EQ(t->recNo(), 6u);
  t->unlockRecords();
  EXPECT_EQ(walk(*t), (std::vector<std::uint32_t>{1, 4, 2, 5, 3, 6}));
  EXPECT_FALSE(t->seek("AAA"));
}

TEST_F(Navigation, WritesNeedTheLockOrAnExclusiveOpen) {
  errors.expect("Lock required").expect("Lock required");
  EXPECT_FALSE(t->setField("QTY", Value(9.0)));
  EXPECT_FALSE(t->deleteRecord());
  // The blank record is not in the file: writes to it are dropped.
  t->goTo(7);
  EXPECT_EQ(t->lockRecord(), LockResult::Locked);
  EXPECT_FALSE(t->setField("QTY", Value(9.0)));
  EXPECT_EQ(t->recCount(), 6u);
}

TEST_F(Navigation, LocateAndForEachGoInIndexOrder) {
  EXPECT_TRUE(t->locate([](Table& r) { return r.field("QTY").number() > 3; }));
  EXPECT_EQ(t->recNo(), 4u);
  EXPECT_TRUE(t->found());
  EXPECT_FALSE(t->locate([](Table& r) { return r.field("QTY").number() > 6; }));
  EXPECT_TRUE(t->eof());
  EXPECT_FALSE(t->found());

  // An action that moves every record to the end of the order still visits each once.
  t.reset();
  auto x = openTable("T.DBF", OpenMode::Exclusive);
  ASSERT_TRUE(x->attachIndex(file("T.NTX")));
  std::vector<std::uint32_t> seen;
  x->forEach([](Table& r) { return r.field("QTY").number() != 2; },
             [&](Table& r) {
               seen.push_back(r.recNo());
               r.setField("CODE", Value("Z" + r.field("CODE").text()));
             });
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{3, 1, 4, 5, 6}));
  EXPECT_TRUE(x->eof());
  EXPECT_TRUE(x->seek("B"));
  EXPECT_EQ(x->recNo(), 2u);
  x->skip();
  EXPECT_EQ(x->field("CODE").text(), "ZAAA");
}

TEST_F(Navigation, CopyOutWritesTheChosenRecordsInOrder) {
  t->seek("ABD");
  ASSERT_EQ(t->lockRecord(), LockResult::Locked);
  t->deleteRecord();
  t->unlockRecords();
  ASSERT_TRUE(t->copyOut(file("COPY.DBF"), [](Table& r) { return r.field("QTY").number() != 2; }));
  auto c = openTable("COPY.DBF");
  ASSERT_EQ(c->fields().size(), 3u);
  EXPECT_EQ(static_cast<const FieldDef&>(c->fields()[1]), (FieldDef{"QTY", 'N', 6, 1}));
  std::vector<std::string> codes;
  std::vector<bool> marks;
  for (c->goTop(); !c->eof(); c->skip()) {
    codes.push_back(c->field("CODE").text());
    marks.push_back(c->deleted());
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"AAA ", "ABC ", "ABD ", "B   ", "C   "}));
  EXPECT_EQ(marks, (std::vector<bool>{false, false, true, false, false}));
}

TEST_F(Navigation, PackRemovesMarkedRecordsAndRebuildsTheIndex) {
  errors.expect("Exclusive required");
  EXPECT_FALSE(t->pack());
  t.reset();
  auto x = openTable("T.DBF", OpenMode::Exclusive);
  ASSERT_TRUE(x->attachIndex(file("T.NTX")));
  for (const char* code : {"AAA", "B"}) {
    ASSERT_TRUE(x->seek(code));
    ASSERT_TRUE(x->deleteRecord());
  }
  ASSERT_TRUE(x->pack());
  EXPECT_EQ(x->recCount(), 4u);
  std::vector<std::string> codes;
  for (x->goTop(); !x->eof(); x->skip()) codes.push_back(x->field("CODE").text());
  EXPECT_EQ(codes, (std::vector<std::string>{"ABC ", "ABD ", "B   ", "C   "}));
  EXPECT_TRUE(x->seek("B"));
  EXPECT_EQ(x->recNo(), 3u);
  x->close();
  EXPECT_EQ(bytesOf(file("T.DBF")).size(), 32u * 3 + 33 + 4 * 19 + 1);
}

TEST_F(TableFixture, ImportFillsTheFirstFieldFromEachLine) {
  makeTable("L.DBF", {{"LINE", 'C', 10, 0}}, {{"first"}});
  writeBytes(file("in.txt"), "alpha\r\nbeta\n\nmuch longer than ten\r\nlast");
  auto t = openTable("L.DBF");
  ASSERT_TRUE(t->importLines(file("in.txt")));
  std::vector<std::string> lines;
  for (t->goTop(); !t->eof(); t->skip()) lines.push_back(t->field("LINE").text());
  EXPECT_EQ(lines, (std::vector<std::string>{"first     ", "alpha     ", "beta      ",
                                             "          ", "much longe", "last      "}));
  EXPECT_EQ(t->lockedRecord(), 0u);
}

TEST_F(TableFixture, RelationsPositionTheChildOnEveryMove) {
  makeTable("DOC.DBF", {{"INDENT", 'C', 3, 0}}, {{"D1"}, {"D2"}, {"D3"}});
  makeTable("LINE.DBF", {{"INDENT", 'C', 3, 0}, {"ITEM", 'C', 2, 0}},
            {{"D3", "01"}, {"D1", "02"}, {"D1", "01"}});
  Workspace ws(errors, fieldJoinKeys());
  Table* doc = ws.open(file("DOC.DBF"), "Doc", OpenMode::Shared);
  Table* line = ws.open(file("LINE.DBF"), "line", OpenMode::Shared);
  ASSERT_TRUE(doc && line);
  ASSERT_TRUE(line->buildIndex(file("LINE.NTX"), "INDENT+ITEM"));
  ASSERT_TRUE(line->attachIndex(file("LINE.NTX")));
  ASSERT_TRUE(ws.setRelation("DOC", "LINE", "INDENT"));
  EXPECT_EQ(line->recNo(), 3u);  // positioned at once: D1's first line
  doc->skip();
  EXPECT_TRUE(line->eof());  // D2 has no lines
  EXPECT_FALSE(line->found());
  doc->goBottom();
  EXPECT_EQ(line->recNo(), 1u);
  ASSERT_EQ(ws.areas().size(), 2u);
  EXPECT_EQ(ws.areas()[0].relations.size(), 1u);
  EXPECT_EQ(ws.areas()[0].relations[0].target, "line");
  ws.close("line");
  EXPECT_TRUE(ws.areas()[0].relations.empty());
  doc->goTop();  // no child any more: nothing to position
  EXPECT_EQ(doc->recNo(), 1u);
}

TEST_F(TableFixture, WorkspaceShowsTablesToExpressions) {
  makeTable("A.DBF", {{"CODE", 'C', 3, 0}, {"QTY", 'N', 5, 2}}, {{"X", 1.25}});
  makeTable("B.DBF", {{"NAME", 'C', 3, 0}}, {{"Y"}});
  Workspace ws(errors, fieldJoinKeys());
  EXPECT_FALSE(ws.state().has_value());
  Value v;
  EXPECT_EQ(ws.field("", "CODE", v), TableScope::Lookup::NoTable);
  Table* a = ws.open(file("A.DBF"), "A", OpenMode::Shared);
  ASSERT_TRUE(ws.open(file("B.DBF"), "B", OpenMode::Shared));
  EXPECT_EQ(ws.field("", "NAME", v), TableScope::Lookup::Found);
  EXPECT_EQ(v.text(), "Y  ");
  EXPECT_EQ(ws.field("", "CODE", v), TableScope::Lookup::NoField);
  EXPECT_EQ(ws.field("a", "qty", v), TableScope::Lookup::Found);
  EXPECT_EQ(v.numberWithDecimals().decimals, 2);
  EXPECT_EQ(ws.field("C", "CODE", v), TableScope::Lookup::NoAlias);
  ASSERT_TRUE(ws.select("a"));
  EXPECT_EQ(ws.current(), a);
  const TableState s = *ws.state();
  EXPECT_EQ(s.recno, 1);
  EXPECT_EQ(s.reccount, 1);
  EXPECT_FALSE(s.eof);
  // The view used for keys: the given table is current whatever the workspace says.
  Table* b = ws.table("B");
  auto scope = ws.scopeFor(*b);
  EXPECT_EQ(scope->field("", "NAME", v), TableScope::Lookup::Found);
  EXPECT_EQ(scope->field("A", "CODE", v), TableScope::Lookup::Found);
  errors.expect("Alias does not exist");
  EXPECT_FALSE(ws.select("nope"));
}

// ------------------------------------------------------------------------------------------
// Stations: two opens of one table are two stations, in one process as in two.

class Stations : public TableFixture {
 protected:
  void SetUp() override {
    makeTable("T.DBF", {{"CODE", 'C', 4, 0}, {"QTY", 'N', 6, 0}}, {{"A", 1}, {"B", 2}});
  }
};

TEST_F(Stations, OpenModesConflictAsBusy) {
  struct Case {
    OpenMode first, second;
    bool busy;
  };
  const std::vector<Case> cases = {{OpenMode::Shared, OpenMode::Shared, false},
                                   {OpenMode::Shared, OpenMode::Exclusive, true},
                                   {OpenMode::Exclusive, OpenMode::Shared, true},
                                   {OpenMode::Exclusive, OpenMode::Exclusive, true}};
  for (const Case& c : cases) {
    auto first = openTable("T.DBF", c.first);
    Table second(errors);
    EXPECT_EQ(second.open(file("T.DBF"), c.second), !c.busy);
    EXPECT_EQ(errors.takeBusy(), c.busy);
  }
  EXPECT_TRUE(errors.seen.empty());  // busy never reaches the operator
}

TEST_F(Stations, OneRecordLockPerTableAndStation) {
  auto a = openTable("T.DBF");
  auto b = openTable("T.DBF");
  a->goTo(1);
  b->goTo(1);
  EXPECT_EQ(a->lockRecord(), LockResult::Locked);
  EXPECT_EQ(b->lockRecord(), LockResult::Held);
  a->goTo(2);
  EXPECT_EQ(a->lockRecord(), LockResult::Locked);  // lets go of record 1
  EXPECT_EQ(b->lockRecord(), LockResult::Locked);
  {
    // Another open of the file in this process comes and goes without touching b's lock.
    auto c = openTable("T.DBF");
    c->goTo(1);
    EXPECT_EQ(c->lockRecord(), LockResult::Held);
  }
  a->goTo(1);
  EXPECT_EQ(a->lockRecord(), LockResult::Held);
  b->unlockRecords();
  EXPECT_EQ(a->lockRecord(), LockResult::Locked);
  a->close();
  EXPECT_EQ(b->lockRecord(), LockResult::Locked);
}

TEST_F(Stations, UpdatesStartFromWhatIsOnDiskAndAreWrittenBeforeUnlocking) {
  auto a = openTable("T.DBF");
  auto b = openTable("T.DBF");
  EXPECT_EQ(a->field("QTY").number(), 1);
  ASSERT_EQ(b->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(b->setField("QTY", Value(b->field("QTY").number() + 10)));
  b->unlockRecords();  // no commit: unlocking writes it out
  EXPECT_EQ(a->field("QTY").number(), 1);  // a has not moved
  ASSERT_EQ(a->lockRecord(), LockResult::Locked);
  EXPECT_EQ(a->field("QTY").number(), 11);  // the lock read it afresh
  ASSERT_TRUE(a->setField("QTY", Value(a->field("QTY").number() + 10)));
  a->close();
  b->skip(0);
  EXPECT_EQ(b->field("QTY").number(), 21);
}

TEST_F(Stations, AppendTakesTheAppendLockAndLocksTheNewRecord) {
  auto a = openTable("T.DBF");
  auto b = openTable("T.DBF");
  OsFile other;
  ASSERT_TRUE(other.open(file("T.DBF")));
  ASSERT_EQ(other.tryLock(locks::kAppend, 1, OsFile::Lock::Exclusive), OsFile::LockResult::Granted);
  EXPECT_FALSE(a->append());
  EXPECT_TRUE(errors.takeBusy());
  other.unlock(locks::kAppend, 1);

  a->goTo(1);
  ASSERT_EQ(a->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(a->append());
  EXPECT_EQ(a->recNo(), 3u);
  EXPECT_FALSE(a->eof());
  EXPECT_EQ(a->lockedRecord(), 3u);
  EXPECT_EQ(a->field("CODE").text(), "    ");
  ASSERT_TRUE(a->setField("CODE", Value("NEW")));
  EXPECT_EQ(b->recCount(), 3u);  // the count is in the header at once
  b->goTo(3);
  EXPECT_EQ(b->lockRecord(), LockResult::Held);
  b->goTo(1);
  EXPECT_EQ(b->lockRecord(), LockResult::Locked);  // record 1 went with the append
  ASSERT_TRUE(b->append());
  EXPECT_EQ(b->recNo(), 4u);
  a->commit();
  b->goTo(3);
  EXPECT_EQ(b->field("CODE").text(), "NEW ");
  EXPECT_TRUE(errors.seen.empty());
}

// A walking station keeps records and index pages in memory between its moves; a commit of
// another station in the middle of the walk is seen on its very next step. Two opens of the
// file are two stations (each its own open-file locks and its own view of the header). What the
// walker sees is compared with a station opened after the commit, which holds nothing from
// before it.
TEST_F(TableFixture, AWalkSeesAnotherStationsCommitAtItsNextStep) {
  using Seen = std::tuple<std::uint32_t, std::string, double, bool, bool>;
  const auto seen = [](Table& t) {
    return Seen{t.recNo(), trim(t.field("CODE").text()), t.field("QTY").number(), t.deleted(),
                t.eof()};
  };
  for (const int order : {1, 0}) {
    SCOPED_TRACE(order == 1 ? "index order" : "record order");
    const std::string name = "W" + std::to_string(order) + ".DBF";
    const std::filesystem::path index = file("W" + std::to_string(order) + ".NTX");
    std::vector<Row> rows;
    for (int i = 1; i <= 400; ++i) rows.push_back({"K" + std::to_string(1000 + i * 10), i});
    makeTable(name, {{"CODE", 'C', 10, 0}, {"QTY", 'N', 6, 0}}, rows);
    const auto station = [&] {
      auto t = openTable(name);
      if (!std::filesystem::exists(index)) {
        EXPECT_TRUE(t->buildIndex(index, "CODE"));
      }
      EXPECT_TRUE(t->attachIndex(index));
      t->setOrder(order);
      return t;
    };
    // One step from `from` as a station opened now takes it.
    const auto freshStep = [&](std::uint32_t from, long n) {
      auto c = station();
      c->goTo(from);
      c->skip(n);
      return seen(*c);
    };

    auto a = station();
    auto b = station();
    for (a->goTop(); a->recNo() != 150;) a->skip();
    const auto update = [&](std::uint32_t recno, const auto& write) {
      b->goTo(recno);
      ASSERT_EQ(b->lockRecord(), LockResult::Locked);
      write(*b);
      ASSERT_TRUE(b->commit());
      b->unlockRecords();
    };
    // A key that sorts right after the walker's record.
    const auto justAfterHere = [&](const char* suffix) {
      return Value(trim(a->field("CODE").text()) + suffix);
    };
    struct Case {
      const char* what;
      long step;
      std::function<void(std::uint32_t target)> commit;
    };
    const std::vector<Case> cases = {
        {"a value of the next record", 1,
         [&](std::uint32_t next) { update(next, [](Table& t) { t.setField("QTY", Value(-1)); }); }},
        {"a value of the record before", -1,
         [&](std::uint32_t before) { update(before, [](Table& t) { t.setField("QTY", Value(-2)); }); }},
        {"the next record's key moves to the end", 1,
         [&](std::uint32_t next) { update(next, [](Table& t) { t.setField("CODE", Value("Z")); }); }},
        {"a record from far back moves in next", 1,
         [&](std::uint32_t) {
           update(3, [&](Table& t) { t.setField("CODE", justAfterHere("5")); });
         }},
        {"an appended record sorts next", 1,
         [&](std::uint32_t) {
           ASSERT_TRUE(b->append());
           ASSERT_TRUE(b->setField("CODE", justAfterHere("2")));
           ASSERT_TRUE(b->setField("QTY", Value(7)));
           ASSERT_TRUE(b->commit());
           b->unlockRecords();
         }},
        {"the next record is marked deleted", 1,
         [&](std::uint32_t next) { update(next, [](Table& t) { t.deleteRecord(); }); }},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const std::uint32_t here = a->recNo();
      c.commit(std::get<0>(freshStep(here, c.step)));
      const Seen want = freshStep(here, c.step);
      a->skip(c.step);
      EXPECT_EQ(seen(*a), want);
    }
    // The rest of the walk, appended record and all.
    auto c = station();
    c->goTo(a->recNo());
    std::vector<Seen> rest, want;
    for (a->skip(); !a->eof(); a->skip()) rest.push_back(seen(*a));
    for (c->skip(); !c->eof(); c->skip()) want.push_back(seen(*c));
    EXPECT_GT(rest.size(), 200u);
    EXPECT_EQ(rest, want);
  }
}

}  // namespace
}  // namespace blend::test
