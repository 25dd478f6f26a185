// Tables written by the engine read by independent tools (Python's dbfread and dbf), and tables
// those tools write read by the engine. Skipped where Python or the modules are missing.

#include <cstdlib>

#include "data/cp874.h"
#include "table_fixture.h"

namespace blend::test {
namespace {

// A Python that has both modules; empty when there is none.
const std::string& python() {
  static const std::string found = [] {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
      const std::string probe =
          std::string(candidate) + " -c 'import dbfread, dbf' >/dev/null 2>&1";
      if (std::system(probe.c_str()) == 0) return std::string(candidate);
    }
    return std::string();
  }();
  return found;
}

class Interop : public TableFixture {
 protected:
  void SetUp() override {
    if (python().empty()) GTEST_SKIP() << "python3 with dbfread and dbf is not installed";
  }

  // Runs a Python script with the arguments; its standard output (UTF-8) as lines.
  std::vector<std::string> runPython(const std::string& script, const std::string& args) {
    writeBytes(file("script.py"), script);
    const std::string command = "PYTHONIOENCODING=utf-8 " + python() + " " +
                                file("script.py").string() + " " + args + " > " +
                                file("out.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string out = bytesOf(file("out.txt"));
    EXPECT_EQ(status, 0) << out;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < out.size()) {
      const std::size_t end = out.find('\n', start);
      lines.push_back(out.substr(start, end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return lines;
  }

  const std::vector<FieldDef> fields = {
      {"CODE", 'C', 8, 0}, {"NAME", 'C', 20, 0}, {"QTY", 'N', 10, 2}, {"DATE", 'D', 8, 0}};
};

const char* const kReadBoth = R"(
import sys, dbfread, dbf
path = sys.argv[1]
d = dbfread.DBF(path, char_decode_errors='strict')
print('encoding', d.encoding)
for r in d.records: print('R', r['CODE'], r['NAME'], r['QTY'], r['DATE'])
for r in d.deleted: print('D', r['CODE'], r['NAME'], r['QTY'], r['DATE'])
t = dbf.Table(path)
t.open()
for r in t: print('F', dbf.is_deleted(r), r.code.rstrip(), r.name.rstrip(), r.qty, r.date)
t.close()
)";

TEST_F(Interop, PythonReadsWhatTheEngineWrites) {
  const std::string thai = "ปุ๋ยเคมี";
  makeTable("E.DBF", fields,
            {{"A1", tis(thai), 12.5, Date::fromYmd(2024, 1, 15)},
             {"B2", "x", -3.25, Date()},
             {"C3", "gone", 0.0, Date::fromYmd(2023, 12, 31)}});
  {
    auto t = openTable("E.DBF");
    t->goTo(3);
    ASSERT_EQ(t->lockRecord(), LockResult::Locked);
    ASSERT_TRUE(t->deleteRecord());
  }
  EXPECT_EQ(runPython(kReadBoth, file("E.DBF").string()),
            (std::vector<std::string>{
                "encoding cp874",
                "R A1 " + thai + " 12.5 2024-01-15",
                "R B2 x -3.25 None",
                "D C3 gone 0.0 2023-12-31",
                "F False A1 " + thai + " 12.5 2024-01-15",
                "F False B2 x -3.25 None",
                "F True C3 gone 0.0 2023-12-31",
            }));
}

TEST_F(Interop, TheEngineReadsAndExtendsWhatPythonWrites) {
  const std::string thai = "ปุ๋ย";
  runPython(R"(
import sys, dbf
t = dbf.Table(sys.argv[1], 'CODE C(8); NAME C(20); QTY N(10,2); DATE D', dbf_type='db3',
              codepage='cp874')
t.open(dbf.READ_WRITE)
t.append(('A1', 'ปุ๋ย', 12.5, dbf.Date(2024, 1, 15)))
t.append(('B2', 'x', -3.25, None))
t.append(('C3', 'gone', 0, dbf.Date(2023, 12, 31)))
dbf.delete(t[2])
t.close()
)",
            file("P.DBF").string());
  auto t = openTable("P.DBF");
  ASSERT_EQ(t->recCount(), 3u);
  EXPECT_EQ(static_cast<const FieldDef&>(t->fields()[2]), (FieldDef{"QTY", 'N', 10, 2}));
  EXPECT_EQ(t->field("CODE").text(), "A1      ");
  EXPECT_EQ(trim(t->field("NAME").text()), tis(thai));
  EXPECT_EQ(t->field("QTY").number(), 12.5);
  EXPECT_EQ(t->field("DATE").date(), Date::fromYmd(2024, 1, 15));
  t->skip();
  EXPECT_EQ(t->field("QTY").number(), -3.25);
  EXPECT_TRUE(t->field("DATE").date().empty());
  EXPECT_FALSE(t->deleted());
  t->skip();
  EXPECT_TRUE(t->deleted());

  // The engine's index and append work on it, and the tools still read the result.
  ASSERT_TRUE(t->buildIndex(file("P.NTX"), "CODE"));
  ASSERT_TRUE(t->attachIndex(file("P.NTX")));
  ASSERT_TRUE(t->append());
  ASSERT_TRUE(t->setField("CODE", Value("0Z")));
  ASSERT_TRUE(t->setField("NAME", Value(tis("เคมี"))));
  ASSERT_TRUE(t->setField("QTY", Value(7.0)));
  t->unlockRecords();
  t->goTop();
  EXPECT_EQ(t->field("CODE").text(), "0Z      ");
  t->close();
  const auto lines = runPython(kReadBoth, file("P.DBF").string());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "encoding cp874");
  EXPECT_EQ(lines[3], "R 0Z เคมี 7.0 None");
  EXPECT_EQ(lines[8], "F False 0Z เคมี 7.0 None");
}

// GDAL's ogrinfo and dbview, two more readers that know nothing of this engine.
class ToolInterop : public TableFixture {
 protected:
  static bool have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
  }
  std::string run(const std::string& command) {
    const int status = std::system((command + " > " + file("out.txt").string() + " 2>&1").c_str());
    const std::string out = bytesOf(file("out.txt"));
    EXPECT_EQ(status, 0) << out;
    return out;
  }
  const std::vector<FieldDef> fields = {
      {"CODE", 'C', 8, 0}, {"NAME", 'C', 20, 0}, {"QTY", 'N', 10, 2}, {"DATE", 'D', 8, 0}};
};

TEST_F(ToolInterop, OgrinfoAndDbviewReadWhatTheEngineWrites) {
  if (!have("ogrinfo") || !have("dbview")) GTEST_SKIP() << "ogrinfo or dbview is not installed";
  const std::string thai = "ปุ๋ยเคมี";
  makeTable("E.DBF", fields,
            {{"A1", tis(thai), 12.5, Date::fromYmd(2024, 1, 15)},
             {"C3", "gone", 0.0, Date::fromYmd(2023, 12, 31)}});
  {
    auto t = openTable("E.DBF");
    t->goTo(2);
    ASSERT_EQ(t->lockRecord(), LockResult::Locked);
    ASSERT_TRUE(t->deleteRecord());
  }
  // GDAL decodes the text by the language byte and leaves deleted records out.
  const std::string ogr = run("ogrinfo -ro -al -q " + file("E.DBF").string());
  EXPECT_NE(ogr.find("NAME (String) = " + thai), std::string::npos) << ogr;
  EXPECT_NE(ogr.find("QTY (Real) = 12.50"), std::string::npos) << ogr;
  EXPECT_NE(ogr.find("DATE (Date) = 2024/01/15"), std::string::npos) << ogr;
  EXPECT_EQ(ogr.find("gone"), std::string::npos) << ogr;
  // dbview shows the bytes as stored: CP874.
  const std::string view = run("dbview -b -t " + file("E.DBF").string());
  EXPECT_NE(view.find("A1:" + tis(thai) + ":12.50:20240115:"), std::string::npos) << view;
}

}  // namespace
}  // namespace blend::test
