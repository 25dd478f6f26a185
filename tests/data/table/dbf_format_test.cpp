// The .dbf file as bytes: what the engine writes, what it reads from other writers, and what it
// refuses.

#include <cstring>
#include <set>

#include "data/cp874.h"
#include "data/table/table_errors.h"
#include "table_fixture.h"

namespace blend::test {
namespace {

class DbfFormat : public TableFixture {
 protected:
  const std::vector<FieldDef> fields = {
      {"CODE", 'C', 6, 0}, {"QTY", 'N', 8, 2}, {"DATE", 'D', 8, 0}};
};

std::uint32_t le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
  return v;
}

TEST_F(DbfFormat, WritesTheDBaseIIILayoutByteForByte) {
  makeTable("T.DBF", fields,
            {{"AB", 1.5, Date::fromYmd(2024, 1, 15)}, {"ABCDEFGH", -2.345, Date()}});
  const std::string b = bytesOf(file("T.DBF"));
  const std::size_t headerLength = 32 * 3 + 33, recordLength = 1 + 6 + 8 + 8;
  EXPECT_EQ(b[0], '\x03');
  EXPECT_EQ(b[29], '\x7C');
  EXPECT_EQ(b[30], 0);
  EXPECT_EQ(b[31], 0);
  EXPECT_EQ(le32(b, 4), 2u);
  EXPECT_EQ(static_cast<unsigned char>(b[8]) | static_cast<unsigned char>(b[9]) << 8, headerLength);
  EXPECT_EQ(static_cast<unsigned char>(b[10]) | static_cast<unsigned char>(b[11]) << 8, recordLength);
  EXPECT_EQ(b[headerLength - 1], '\x0D');
  ASSERT_EQ(b.size(), headerLength + 2 * recordLength + 1);
  EXPECT_EQ(b.back(), '\x1A');
  // Field descriptor: name, type, width, decimals.
  EXPECT_EQ(b.substr(64, 4), std::string("QTY\0", 4));
  EXPECT_EQ(b[64 + 11], 'N');
  EXPECT_EQ(b[64 + 16], 8);
  EXPECT_EQ(b[64 + 17], 2);
  // Records: deletion mark, text cut or filled, numbers right-aligned and rounded half away
  // from zero, dates as YYYYMMDD or blanks.
  EXPECT_EQ(b.substr(headerLength, recordLength), " AB        1.5020240115");
  EXPECT_EQ(b.substr(headerLength + recordLength, recordLength), " ABCDEF   -2.35        ");
  // The header date is the day of the last append.
  const Date written = Date::fromYmd(1900 + static_cast<unsigned char>(b[1]), b[2], b[3]);
  EXPECT_FALSE(written.empty());
}

// Stations that have the table open shared tell each other of their writes through bytes 20-27
// alone: every other header byte stays what other tools read, and no two writes leave the same
// mark (a mark met twice would hide the second write from a station that saw the first).
TEST_F(DbfFormat, SharedWritesChangeOnlyTheChangeMarkInTheHeader) {
  makeTable("T.DBF", fields, {{"A", 1.0, Date()}, {"B", 2.0, Date()}});
  const std::string before = bytesOf(file("T.DBF")).substr(0, 32);
  std::set<std::string> marks = {before.substr(20, 8)};
  auto a = openTable("T.DBF");
  auto b = openTable("T.DBF");
  for (int i = 0; i < 4; ++i) {
    Table& t = i % 2 ? *b : *a;
    t.goTo(1 + i / 2);
    ASSERT_EQ(t.lockRecord(), LockResult::Locked);
    ASSERT_TRUE(t.setField("QTY", Value(10.0 + i)));
    ASSERT_TRUE(t.commit());
    t.unlockRecords();
    const std::string now = bytesOf(file("T.DBF")).substr(0, 32);
    EXPECT_EQ(now.substr(0, 20), before.substr(0, 20));
    EXPECT_EQ(now.substr(28), before.substr(28));
    EXPECT_TRUE(marks.insert(now.substr(20, 8)).second) << "write " << i;
  }
}

TEST_F(DbfFormat, FieldsReadBackAsTheirTypes) {
  const std::string thai = tis("ปุ๋ย");
  makeTable("T.DBF", fields, {{thai, 1000.0, Date::fromYmd(2024, 2, 29)}, {"X", 0.125, Date()}});
  auto t = openTable("T.DBF");
  EXPECT_EQ(t->field("code").text(), thai + std::string(6 - thai.size(), ' '));
  EXPECT_EQ(t->field("QTY").numberWithDecimals().value, 1000.0);
  EXPECT_EQ(t->field("QTY").numberWithDecimals().decimals, 2);
  EXPECT_EQ(t->field("Date").date(), Date::fromYmd(2024, 2, 29));
  t->skip();
  EXPECT_EQ(t->field("CODE").text(), "X     ");
  EXPECT_DOUBLE_EQ(t->field("QTY").number(), 0.13);
  EXPECT_TRUE(t->field("DATE").date().empty());
  EXPECT_TRUE(t->field("NOSUCH").isNil());
  const std::vector<Field>& list = t->fields();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(static_cast<const FieldDef&>(list[1]), (FieldDef{"QTY", 'N', 8, 2}));
}

TEST_F(DbfFormat, RefusesValuesTheFieldCannotHoldAndKeepsTheOldOne) {
  makeTable("T.DBF", fields, {{"A", 1.0, Date()}});
  auto t = openTable("T.DBF", OpenMode::Exclusive);
  errors.expect("Data width error").expect("Data width error").expect("Data type error");
  EXPECT_FALSE(t->setField("QTY", Value(123456.0)));   // 123456.00 needs 9 places
  EXPECT_FALSE(t->setField("QTY", Value(-12345.6)));   // so does -12345.60
  EXPECT_FALSE(t->setField("DATE", Value("20240101")));
  EXPECT_TRUE(t->setField("QTY", Value(99999.99)));
  EXPECT_TRUE(t->setField("QTY", Value(-9999.994)));
  t->commit();
  EXPECT_EQ(t->rawField(1), "-9999.99");
  ASSERT_EQ(errors.seen.size(), 3u);
  EXPECT_EQ(errors.seen[0].genCode, errc::kDataWidth);
}

TEST_F(DbfFormat, ReadsWhatOtherWritersLeave) {
  makeTable("T.DBF", fields, {{"A", 1.0, Date()}, {"B", 2.0, Date()}, {"C", 3.0, Date()}});
  const std::string good = bytesOf(file("T.DBF"));
  const std::size_t headerLength = 129, recordLength = 23;
  struct Case {
    const char* what;
    std::string bytes;
    std::uint32_t count;
  };
  std::string noEndMark = good.substr(0, good.size() - 1);
  std::string trailing = good + "garbage";
  std::string shortFile = good.substr(0, headerLength + 2 * recordLength + 5);  // count says 3
  std::string thaiOem = good;
  thaiOem[29] = '\x50';
  std::string paddedHeader = good;  // 32n + 34, a zero byte after the terminator
  paddedHeader.insert(headerLength, 1, '\0');
  paddedHeader[8] = static_cast<char>(headerLength + 1);
  const std::vector<Case> cases = {{"no 0x1A", noEndMark, 3},
                                   {"bytes after 0x1A", trailing, 3},
                                   {"count beyond the file", shortFile, 2},
                                   {"language driver 0x50", thaiOem, 3},
                                   {"padded header", paddedHeader, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeBytes(file("X.DBF"), c.bytes);
    auto t = openTable("X.DBF");
    EXPECT_EQ(t->recCount(), c.count);
    EXPECT_EQ(t->field("CODE").text(), "A     ");
    t->goBottom();
    EXPECT_EQ(t->recNo(), c.count);
  }
}

TEST_F(DbfFormat, AppendAfterForeignTrailingBytesLeavesAnExactFile) {
  makeTable("T.DBF", fields, {{"A", 1.0, Date()}});
  writeBytes(file("T.DBF"), bytesOf(file("T.DBF")) + "junk after the end");
  auto t = openTable("T.DBF", OpenMode::Exclusive);
  ASSERT_TRUE(t->append());
  t->close();
  const std::string b = bytesOf(file("T.DBF"));
  EXPECT_EQ(b.size(), 129u + 2 * 23 + 1);
  EXPECT_EQ(b.back(), '\x1A');
  EXPECT_EQ(le32(b, 4), 2u);
}

TEST_F(DbfFormat, RefusesDamagedFilesWithACorruptionError) {
  makeTable("T.DBF", fields, {{"A", 1.0, Date()}});
  const std::string good = bytesOf(file("T.DBF"));
  const auto patched = [&](std::size_t at, std::string bytes) {
    std::string b = good;
    b.replace(at, bytes.size(), bytes);
    return b;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"empty file", ""},
      {"shorter than a header", good.substr(0, 20)},
      {"unknown version", patched(0, "\x30")},
      {"memo table", patched(0, "\x83")},
      {"other code page", patched(29, "\x03")},
      {"header length too small", patched(8, std::string("\x60\x00", 2))},
      {"header length beyond the file", patched(8, std::string("\xF0\xFF", 2))},
      {"no terminator", patched(128, " ")},
      {"memo field", patched(32 + 11, "M")},
      {"zero width", patched(32 + 16, std::string(1, '\0'))},
      {"decimals wider than the field", patched(64 + 17, "\x09")},
      {"record length mismatch", patched(10, "\x30")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeBytes(file("X.DBF"), c.bytes);
    errors.expect("Corruption detected");
    Table t(errors);
    EXPECT_FALSE(t.open(file("X.DBF"), OpenMode::Shared));
    EXPECT_FALSE(t.isOpen());
    ASSERT_FALSE(errors.seen.empty());
    EXPECT_EQ(errors.seen.back().genCode, errc::kCorruption);
  }
}

TEST_F(DbfFormat, CreateRefusesFieldListsTheFormatCannotHold) {
  const std::vector<std::vector<FieldDef>> bad = {
      {},
      {{"", 'C', 5, 0}},
      {{"TOOLONGNAME", 'C', 5, 0}},
      {{"1ST", 'C', 5, 0}},
      {{"A", 'C', 5, 0}, {"a", 'C', 5, 0}},
      {{"A", 'C', 255, 0}},
      {{"A", 'N', 21, 0}},
      {{"A", 'N', 5, 4}},
      {{"A", 'D', 10, 0}},
      {{"A", 'M', 10, 0}},
  };
  for (const auto& defs : bad) {
    errors.expect("Create error");
    EXPECT_FALSE(Table::create(errors, file("BAD.DBF"), defs));
  }
  EXPECT_FALSE(std::filesystem::exists(file("BAD.DBF")));
}

TEST_F(DbfFormat, CreateReplacesAnExistingTableNobodyHasOpen) {
  makeTable("T.DBF", fields, {{"A", 1.0, Date()}});
  {
    auto inUse = openTable("T.DBF");
    errors.expect("(DOS Error 32) DBFNTX/1020  Create error");
    EXPECT_FALSE(Table::create(errors, file("T.DBF"), {{"LINE", 'C', 20, 0}}));
    EXPECT_EQ(inUse->recCount(), 1u);
    EXPECT_EQ(inUse->field("CODE").text(), "A     ");
  }
  ASSERT_TRUE(Table::create(errors, file("T.DBF"), {{"LINE", 'C', 20, 0}}));
  auto t = openTable("T.DBF");
  EXPECT_EQ(t->recCount(), 0u);
  EXPECT_EQ(t->fields().size(), 1u);
  EXPECT_TRUE(t->eof());
}

}  // namespace
}  // namespace blend::test
