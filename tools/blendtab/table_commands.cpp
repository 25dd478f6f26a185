#include "table_commands.h"

#include <cstdio>
#include <filesystem>

#include "console_errors.h"
#include "demo_rows.h"
#include "data/cp874.h"
#include "data/layouts.h"
#include "data/settings.h"
#include "data/table/dbf_table.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "table_paths.h"

namespace blend {
namespace fs = std::filesystem;
namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "blendtab: %s\n", message.c_str());
  return 1;
}

std::string csvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string quoted = "\"";
  for (char c : utf8) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string csvValue(const Value& v) {
  if (v.isText()) {
    std::string text = v.text();
    text.erase(text.find_last_not_of(' ') + 1);
    return csvField(cp874ToUtf8(text));
  }
  if (v.isDate()) {
    if (v.date().empty()) return "";
    const std::string s = DTOS(v.date());
    return s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2);
  }
  std::string text = displayText(v);
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

// A table and a workspace whose key compiler is the station's own.
struct OpenedTable {
  ConsoleErrors errors;
  Workspace workspace{errors};
  Table* table = nullptr;

  bool open(const TableFiles& files, OpenMode mode) {
    workspace.setKeyCompiler(expressionKeys(workspace, errors));
    if (!fs::exists(files.table)) return false;
    table = workspace.open(files.table, files.name, mode);
    return table != nullptr;
  }
};

}  // namespace

int installCommand(const std::vector<std::string>& args) {
  const bool demo = !args.empty() && args.back() == "--demo";
  std::vector<std::string> rest(args.begin(), args.end() - (demo ? 1 : 0));
  if (rest.size() != 1 || rest[0].empty() || rest[0][0] == '-') {
    std::fprintf(stderr,
                 "usage: blendtab install DIR [--demo]\n"
                 "  Makes DIR an installation: MAIN.INI (kept when present; made with the paths\n"
                 "  .\\DATA\\, .\\BACKUP\\ and .\\WORK\\ when not), the four directories, and every\n"
                 "  permanent table that is missing, empty, with its index; CONSEC gets record 1.\n"
                 "  Existing tables are never touched. --demo fills the empty code tables with\n"
                 "  demo rows (users ADMIN/ADMIN, OPER/1234, VIEW/1111, companies, materials...).\n");
    return 2;
  }
  const fs::path dir = rest[0];
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) return fail("cannot create " + dir.string() + ": " + ec.message());
  const fs::path iniPath = dir / "MAIN.INI";
  const bool fresh = !fs::exists(iniPath);
  Settings settings = loadSettings(iniPath.string());
  if (fresh) {
    settings.CDRV1 = settings.CDRV2 = ".\\DATA\\";
    settings.CDRV3 = ".\\BACKUP\\";
    settings.CDRV4 = ".\\WORK\\";
    if (!SAVEINI(settings)) return fail("cannot write " + iniPath.string());
  }
  // The station resolves its directories from its working directory: the installation folder.
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  int status = 0;
  for (const std::string* path : {&settings.CDRV1, &settings.CDRV2, &settings.CDRV3, &settings.CDRV4})
    fs::create_directories(nativePath(*path), ec);
  for (const TableLayout& layout : permanentLayouts()) {
    const std::string& home = directoryOf(settings, layout.home);
    const TableFiles files = tableFiles(nativePath(home, layout.name).string());
    OpenedTable t;
    if (!fs::exists(files.table)) {
      if (!Table::create(t.errors, files.table, layout.fields)) {
        status = 1;
        continue;
      }
      std::printf("created %s\n", files.table.string().c_str());
    }
    if (!t.open(files, OpenMode::Exclusive)) {
      status = 1;
      continue;
    }
    if (demo && t.table->recCount() == 0) {
      for (const DemoRow& row : demoRows(layout.name, settings)) {
        if (!t.table->append()) status = 1;
        for (const auto& [field, value] : row)
          if (!t.table->setField(field, value)) status = 1;
      }
      t.table->commit();
    }
    if (!layout.indexKey.empty() && !t.table->buildIndex(files.index, layout.indexKey)) status = 1;
    if (layout.name == "CONSEC" && t.table->recCount() == 0) {
      if (!t.table->append() || !t.table->setField("CSNO", Value(1)) || !t.table->commit())
        status = 1;
    }
  }
  fs::current_path(previous);
  return status;
}

int dumpCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr,
                 "usage: blendtab dump TABLE\n"
                 "  Writes the table as CSV in UTF-8 to standard output, in record order; the\n"
                 "  first column is \"*\" for a record marked deleted. TABLE is a .dbf file, with\n"
                 "  or without its extension, in any letter case.\n");
    return 2;
  }
  const TableFiles files = tableFiles(args[0]);
  OpenedTable t;
  if (!t.open(files, OpenMode::Shared)) return fail("cannot open " + files.table.string());
  std::string line = "DELETED";
  for (const Field& f : t.table->fields()) line += "," + csvField(cp874ToUtf8(f.name));
  std::printf("%s\n", line.c_str());
  const std::uint32_t count = t.table->recCount();
  for (std::uint32_t r = 1; r <= count; ++r) {
    t.table->goTo(r);
    line = t.table->deleted() ? "*" : "";
    for (size_t i = 0; i < t.table->fields().size(); ++i)
      line += "," + csvValue(t.table->field(static_cast<int>(i)));
    std::printf("%s\n", line.c_str());
  }
  return t.errors.count > 0 ? 1 : 0;
}

int checkCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr,
                 "usage: blendtab check TABLE\n"
                 "  Reads the header and every record, and walks the index (TABLE.NTX) when there\n"
                 "  is one: every record must appear once, in ascending key order.\n");
    return 2;
  }
  const TableFiles files = tableFiles(args[0]);
  OpenedTable t;
  if (!t.open(files, OpenMode::Shared)) return fail("cannot open " + files.table.string());
  const std::uint32_t count = t.table->recCount();
  std::printf("%s: %u records, %zu fields\n", files.table.string().c_str(), count,
              t.table->fields().size());
  int problems = 0;
  if (fs::exists(files.index)) {
    if (!t.table->attachIndex(files.index)) return fail("cannot read " + files.index.string());
    std::vector<bool> seen(count + 1, false);
    std::uint32_t walked = 0;
    for (t.table->goTop(); !t.table->eof(); t.table->skip()) {
      const std::uint32_t r = t.table->recNo();
      if (r == 0 || r > count || seen[r]) {
        ++problems;
        std::printf("index: record %u listed twice or out of range\n", r);
        continue;
      }
      seen[r] = true;
      ++walked;
    }
    if (walked != count) {
      ++problems;
      std::printf("index: %u of %u records listed\n", walked, count);
    }
    std::printf("index %s on %s: %s\n", files.index.string().c_str(),
                t.table->indexExpression().c_str(), problems ? "INCONSISTENT" : "consistent");
  }
  return problems || t.errors.count ? 1 : 0;
}

int reindexCommand(const std::vector<std::string>& args) {
  if (args.size() != 1 && args.size() != 2) {
    std::fprintf(stderr,
                 "usage: blendtab reindex TABLE [KEY]\n"
                 "  Rebuilds TABLE.NTX with KEY, or the key it has, or the table's own key; the\n"
                 "  table is opened exclusively.\n");
    return 2;
  }
  const TableFiles files = tableFiles(args[0]);
  OpenedTable t;
  if (!t.open(files, OpenMode::Exclusive))
    return fail("cannot open " + files.table.string() + " exclusively");
  std::string key = args.size() == 2 ? utf8ToCp874(args[1]) : std::string();
  if (key.empty() && fs::exists(files.index) && t.table->attachIndex(files.index))
    key = t.table->indexExpression();
  if (key.empty())
    if (const TableLayout* layout = findLayout(files.name)) key = layout->indexKey;
  if (key.empty()) return fail("no key known for " + files.name + ": give one");
  if (!t.table->buildIndex(files.index, key)) return 1;
  std::printf("%s: index on %s, %u records\n", files.index.string().c_str(), key.c_str(),
              t.table->recCount());
  return 0;
}

}  // namespace blend
