// Document numbers from the shared counter, and identifiers that are unique in their tables.
#include "data/table/numbering.h"

#include "data/layouts.h"
#include "data/table/access.h"
#include "data/table/expression_keys.h"
#include "support/scripted_ui.h"
#include "table_fixture.h"

namespace blend {
namespace {

class Numbering : public test::TableFixture {
 protected:
  Numbering() {
    settings.CDRV1 = settings.CDRV2 = dir.path().string() + "/";
    ws.setKeyCompiler(expressionKeys(ws, errors));
  }
  void makeFrom(const char* name) {
    ASSERT_TRUE(Table::create(errors, file(std::string(name) + ".DBF"), findLayout(name)->fields));
  }
  void setCounter(double value) {
    auto t = openTable("CONSEC.DBF", OpenMode::Exclusive);
    if (t->recCount() == 0) {
      ASSERT_TRUE(t->append());
    }
    t->goTo(1);
    ASSERT_TRUE(t->setField("CSNO", Value(value)));
  }
  double counter() {
    auto t = openTable("CONSEC.DBF");
    t->goTo(1);
    return t->field("CSNO").number();
  }
  // Random words from a list, for identifiers known in advance.
  static RandomWords words(std::vector<std::uint16_t> list) {
    auto shared = std::make_shared<std::vector<std::uint16_t>>(std::move(list));
    auto next = std::make_shared<size_t>(0);
    return [shared, next] { return (*shared)[(*next)++ % shared->size()]; };
  }

  Settings settings;
  test::ScriptedUi ui;
  test::ManualClock clock;
  Context context{settings, ui, clock, errors};
  Workspace ws{errors};
};

TEST_F(Numbering, TheCounterIsReadAndWritten) {
  makeFrom("CONSEC");
  const struct {
    double before;
    char mode;
    double number;
    const char* shown;
    double after;
  } cases[] = {
      {41, 'R', 0, "0000000041", 41},  {41, 'W', 41, "0000000041", 42},
      {41, 'W', 0, "0000000041", 42},  {45, 'W', 41, "0000000045", 42},
      {12345678901, 'R', 0, "2345678901", 12345678901},
  };
  for (const auto& c : cases) {
    setCounter(c.before);
    EXPECT_EQ(CONSEC(context, ws, c.mode, c.number), c.shown) << c.mode << c.number;
    EXPECT_DOUBLE_EQ(counter(), c.after);
    EXPECT_EQ(ws.table("CONSEC"), nullptr) << "closed again";
  }
}

TEST_F(Numbering, ACounterHeldElsewhereGivesNoNumberAfterItsWait) {
  makeFrom("CONSEC");
  setCounter(7);
  auto other = openTable("CONSEC.DBF", OpenMode::Exclusive);  // another station
  const double start = clock.seconds;
  EXPECT_EQ(CONSEC(context, ws, 'W', 0), "0000000000");
  EXPECT_GE(clock.seconds - start, 10);
  other->close();
  EXPECT_DOUBLE_EQ(counter(), 7);
}

TEST_F(Numbering, IdentifiersAreDateTimeAndTheRandomProduct) {
  clock.date = Date::fromYmd(2024, 1, 15);
  clock.seconds = 8 * 3600 + 5 * 60 + 9;
  EXPECT_EQ(makeIdentifier(clock, words({1, 2, 3})), "20240115080509" "6         ");
  EXPECT_EQ(makeIdentifier(clock, words({65535})), "20240115080509" "2814620920");
}

TEST_F(Numbering, ACandidateAlreadyInUseIsDiscarded) {
  makeFrom("DETAIL");
  makeFrom("BATCHING");
  makeFrom("WDATA");
  clock.seconds = 9 * 3600;
  const std::string taken = makeIdentifier(clock, words({1, 2, 3}));
  const std::string dirText = settings.CDRV1;
  ASSERT_TRUE(OPEN(context, ws, dirText, "WDATA", findLayout("WDATA")->indexKey, false, "WDATA", "WDATA"));
  ASSERT_TRUE(OPEN(context, ws, dirText, "BATCHING", findLayout("BATCHING")->indexKey, false, "BATCHING", "BATCHING"));
  ASSERT_TRUE(OPEN(context, ws, dirText, "DETAIL", findLayout("DETAIL")->indexKey, false, "DETAIL", "DETAIL"));
  ASSERT_TRUE(ADD_REC(context, ws, 0));
  ws.current()->setField("INDENT", Value(taken));
  ws.commitAll();
  ws.unlockAll();

  // The first candidate is the identifier in use; the second (product 24) is free.
  const std::string fresh = INDENT(context, ws, words({1, 2, 3, 2, 3, 4}));
  EXPECT_EQ(fresh, "20240115090000" "24        ");
  EXPECT_EQ(ws.currentAlias(), "WDATA");

  ws.select("BATCHING");
  ASSERT_TRUE(ADD_REC(context, ws, 0));
  ws.current()->setField("INDENT", Value(fresh));
  ws.current()->setField("INDENT2", Value(taken));
  ws.current()->setField("ITEM", Value("0001"));
  ws.commitAll();
  ws.unlockAll();
  EXPECT_EQ(INDENT2(context, ws, fresh, words({1, 2, 3, 5, 5, 5})), "20240115090000" "125       ");
  EXPECT_EQ(ws.currentAlias(), "DETAIL");
  // Another document may use the same order-line identifier.
  EXPECT_EQ(INDENT2(context, ws, taken, words({1, 2, 3})), taken);
}

}  // namespace
}  // namespace blend
