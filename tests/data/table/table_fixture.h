#pragma once
// What the table tests share: a fresh folder, an error handler that fails the test on any error
// it was not told to expect, and a quick way to make a table with rows.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/table/dbf_table.h"
#include "data/table/workspace.h"
#include "support/scripted_errors.h"
#include "support/temp_dir.h"
#include "test_keys.h"

namespace blend::test {

using Row = std::vector<Value>;

class TableFixture : public ::testing::Test {
 protected:
  std::filesystem::path file(const std::string& name) const { return dir / name; }

  // A new table with the rows appended in order (values by field position).
  void makeTable(const std::string& name, const std::vector<FieldDef>& fields,
                 const std::vector<Row>& rows) {
    ASSERT_TRUE(Table::create(errors, file(name), fields));
    Table t(errors, fieldJoinKeys());
    ASSERT_TRUE(t.open(file(name), OpenMode::Exclusive));
    for (const Row& row : rows) {
      ASSERT_TRUE(t.append());
      for (std::size_t i = 0; i < row.size(); ++i) ASSERT_TRUE(t.setField(static_cast<int>(i), row[i]));
    }
    t.close();
  }

  std::unique_ptr<Table> openTable(const std::string& name, OpenMode mode = OpenMode::Shared) {
    auto t = std::make_unique<Table>(errors, fieldJoinKeys());
    EXPECT_TRUE(t->open(file(name), mode));
    return t;
  }

  static std::string bytesOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  // The record numbers in the table's current order, from the top.
  static std::vector<std::uint32_t> walk(Table& t) {
    std::vector<std::uint32_t> out;
    for (t.goTop(); !t.eof(); t.skip()) out.push_back(t.recNo());
    return out;
  }

  TempDir dir;
  ScriptedErrors errors;
};

}  // namespace blend::test
