#include "data/layouts.h"

#include <gtest/gtest.h>

#include "data/expr/expression.h"
#include "fake_tables.h"
#include "support/scripted_errors.h"

namespace blend {
namespace {

// A record of the layout with every field blank, as a table's blank record reads.
test::FakeTables::Record blankRecord(const TableLayout& layout) {
  test::FakeTables::Record record;
  for (const FieldDef& f : layout.fields) {
    if (f.type == 'C') record[upperAscii(f.name)] = Value(std::string(f.width, ' '));
    if (f.type == 'N') record[upperAscii(f.name)] = Value(Number{0, f.decimals, f.width});
    if (f.type == 'D') record[upperAscii(f.name)] = Value(Date());
  }
  return record;
}

TEST(Layouts, IndexKeysHaveTheirWidths) {
  const struct {
    const char* table;
    size_t keyWidth;
  } cases[] = {{"COMPANY", 10}, {"RAWMAT", 10}, {"FORMULA", 10}, {"UNIT", 10},
               {"USERLIST", 6}, {"REPLIST", 10}, {"WDATA", 26},  {"DETAIL", 48},
               {"BATCHING", 52}};
  test::ScriptedErrors errors;
  for (const auto& c : cases) {
    const TableLayout* layout = findLayout(c.table);
    ASSERT_NE(layout, nullptr) << c.table;
    test::FakeTables tables;
    tables.open(layout->name, blankRecord(*layout));
    tables.select(layout->name);
    expr::Env env{errors, &tables};
    const Value key = evaluateText(layout->indexKey, env);
    ASSERT_TRUE(key.isText()) << c.table;
    EXPECT_EQ(key.text().size(), c.keyWidth) << c.table;
  }
  EXPECT_TRUE(findLayout("consec")->indexKey.empty());
}

TEST(Layouts, CodesAreAsWideAsTheFieldsThatReferToThem) {
  const auto width = [](const char* table, const char* field) {
    for (const FieldDef& f : findLayout(table)->fields)
      if (f.name == field) return f.width;
    return -1;
  };
  EXPECT_EQ(width("WDATA", "COMPANY"), width("COMPANY", "CODE"));
  EXPECT_EQ(width("DETAIL", "FORMULA"), width("FORMULA", "CODE"));
  EXPECT_EQ(width("DETAIL", "UNIT"), width("UNIT", "CODE"));
  EXPECT_EQ(width("DETAIL", "AGG8"), width("RAWMAT", "CODE"));
  EXPECT_EQ(width("FORMULA", "AGG1"), width("RAWMAT", "CODE"));
  EXPECT_EQ(width("BATCHING", "STAFF"), width("USERLIST", "CODE"));
  EXPECT_EQ(width("USERLIST", "PASS_W"), 6);
  EXPECT_EQ(width("USERLIST", "TRUSTEE"), 42);
  // Edit masks: 999999.99 needs 9 characters, 999.9 five.
  EXPECT_GE(width("FORMULA", "QTY3"), 9);
  EXPECT_GE(width("FORMULA", "FEED8"), 5);
}

TEST(Layouts, TablesLiveInTheirSettingsDirectories) {
  Settings s;
  s.CDRV1 = ".\\CODES\\";
  s.CDRV2 = ".\\WORK2\\";
  s.CDRV4 = ".\\TMP\\";
  EXPECT_EQ(directoryOf(s, findLayout("Userlist")->home), ".\\CODES\\");
  EXPECT_EQ(directoryOf(s, findLayout("batching")->home), ".\\WORK2\\");
  EXPECT_EQ(directoryOf(s, TableHome::Scratch), ".\\TMP\\");
}

}  // namespace
}  // namespace blend
