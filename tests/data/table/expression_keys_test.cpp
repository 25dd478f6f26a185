// The engine with the station's real key compiler: a work-document table through OPEN, its
// index ordered by the stored key "DTOS(DATE)+TIME+NUMBER".
#include "data/table/expression_keys.h"

#include "data/context.h"
#include "data/format.h"
#include "data/layouts.h"
#include "data/table/access.h"
#include "support/scripted_ui.h"
#include "table_fixture.h"

namespace blend {
namespace {

class ExpressionKeys : public test::TableFixture {};

TEST_F(ExpressionKeys, WorkDocumentsAreOrderedByDateTimeAndNumber) {
  const TableLayout& wdata = *findLayout("WDATA");
  ASSERT_TRUE(Table::create(errors, file("WDATA.DBF"), wdata.fields));

  Settings settings;
  test::ScriptedUi ui;
  test::ManualClock clock;
  Context context{settings, ui, clock, errors};
  Workspace ws(errors);
  ws.setKeyCompiler(expressionKeys(ws, errors));
  const std::string dirText = dir.path().string() + "/";
  ASSERT_TRUE(OPEN(context, ws, dirText, "wdata", wdata.indexKey, false, "WDATA", "WDATA"));

  const struct {
    int day;
    const char* time;
    const char* number;
  } docs[] = {{3, "08:00:00", "0000000003"}, {1, "09:30:00", "0000000001"},
              {1, "07:15:00", "0000000002"}, {2, "12:00:00", "0000000004"}};
  for (const auto& d : docs) {
    ASSERT_TRUE(ADD_REC(context, ws, 0));
    Table& t = *ws.current();
    t.setField("DATE", Value(Date::fromYmd(2024, 3, d.day)));
    t.setField("TIME", Value(d.time));
    t.setField("NUMBER", Value(d.number));
    ws.commitAll();
    ws.unlockAll();
  }
  Table& t = *ws.current();
  std::vector<std::string> order;
  for (t.goTop(); !t.eof(); t.skip()) order.push_back(t.field("NUMBER").text());
  EXPECT_EQ(order, (std::vector<std::string>{"0000000002", "0000000001", "0000000004",
                                             "0000000003"}));
  EXPECT_TRUE(t.seek("2024030109:30"));  // a prefix of date and time
  EXPECT_EQ(t.field("NUMBER").text(), "0000000001");
  EXPECT_FALSE(t.seek("2024030112:00"));
  EXPECT_TRUE(t.seek("20240302"));
  EXPECT_EQ(t.field("NUMBER").text(), "0000000004");
  // A numeric field remembers its width and decimals, so STR() without a width gives the
  // field's own form.
  EXPECT_EQ(STR(t.field("PRINT").numberWithDecimals()), " 0");
}

}  // namespace
}  // namespace blend
