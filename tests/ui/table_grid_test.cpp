// The browse grid's window of records around the table's current record.
#include <gtest/gtest.h>

#include "data/table/dbf_table.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "support/scripted_errors.h"
#include "support/temp_dir.h"
#include "ui/table_grid.h"

namespace blend {
namespace {

class Grid : public ::testing::Test {
 protected:
  void SetUp() override {
    tables.setKeyCompiler(expressionKeys(tables, errors));
    const auto path = dir / "CODES.DBF";
    ASSERT_TRUE(Table::create(errors, path, {{"CODE", 'C', 3, 0}}));
    Table t(errors);
    ASSERT_TRUE(t.open(path, OpenMode::Exclusive));
    for (int i = 25; i >= 1; --i) {  // in reverse, so code order is not record order
      t.append();
      t.setField("CODE", Value(std::string(i < 10 ? "K0" : "K") + std::to_string(i)));
    }
    t.close();
    table = tables.open(path, "CODES", OpenMode::Shared);
    ASSERT_TRUE(table && table->buildIndex(dir / "CODES.NTX", "CODE"));
    ASSERT_TRUE(table->attachIndex(dir / "CODES.NTX"));
    grid = std::make_unique<TableGrid>(
        tables, "CODES",
        std::vector<GridColumn>{{"Code", 100, [](Table& t) {
                                   return QString::fromStdString(t.field("CODE").text());
                                 }}});
    grid->setFixedRows(10);
  }

  // What the grid shows: the first and last codes, and the code on the cursor row.
  std::string shown() const {
    QStringList rows;
    for (int r = 0; r < grid->rows(); ++r) {
      const QString text = grid->item(r, 0)->text();
      if (!text.isEmpty()) rows << text;
    }
    const QString cursor = grid->item(grid->cursorRow() - 1, 0)->text();
    return (rows.isEmpty() ? QString("-") : rows.first() + ".." + rows.last() + " @" + cursor)
        .toStdString();
  }
  std::string current() const { return table->field("CODE").text(); }

  test::TempDir dir;
  test::ScriptedErrors errors;
  Workspace tables{errors};
  Table* table = nullptr;
  std::unique_ptr<TableGrid> grid;
};

TEST_F(Grid, TheCursorRowIsAlwaysTheTablesCurrentRecord) {
  grid->moveToTop();
  EXPECT_EQ(shown(), "K01..K10 @K01");
  grid->moveBy(15);  // the cursor stops on the last row, the window follows
  EXPECT_EQ(shown(), "K07..K16 @K16");
  EXPECT_EQ(current(), "K16");
  grid->moveBy(-3);
  EXPECT_EQ(shown(), "K07..K16 @K13");
  grid->moveBy(100);  // past the end: the last record
  EXPECT_EQ(shown(), "K16..K25 @K25");
  grid->moveBy(-100);  // before the beginning: the first
  EXPECT_EQ(shown(), "K01..K10 @K01");
  grid->moveToBottom();
  EXPECT_EQ(shown(), "K16..K25 @K25");

  EXPECT_TRUE(grid->clickRow(3));
  EXPECT_EQ(current(), "K18");
}

TEST_F(Grid, ATableMovedElsewhereShowsAroundItsNewRecord) {
  grid->setCursorRow(5);
  ASSERT_TRUE(table->seek("K03"));  // too near the top for row 5
  grid->refresh();
  EXPECT_EQ(shown(), "K01..K10 @K03");
  EXPECT_EQ(grid->cursorRow(), 3);

  ASSERT_TRUE(table->seek("K24"));  // near the end: fewer records below
  grid->setCursorRow(5);
  grid->refresh();
  EXPECT_EQ(shown(), "K20..K25 @K24");
  EXPECT_FALSE(grid->clickRow(8)) << "below the last record there is nothing to click";
  EXPECT_EQ(current(), "K24");

  table->seek("ZZ");  // the blank record: shown as an empty cursor row after the last
  grid->setCursorRow(4);
  grid->refresh();
  EXPECT_EQ(grid->cursorRow(), 4);
  EXPECT_EQ(grid->item(2, 0)->text(), "K25");
  EXPECT_TRUE(table->eof()) << "the grid leaves the table where it stood";
}

}  // namespace
}  // namespace blend
