#include "eval_command.h"

#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "console_errors.h"
#include "data/clock.h"
#include "data/cp874.h"
#include "data/expr/expression.h"
#include "data/expr/named_values.h"
#include "data/format.h"
#include "data/settings.h"
#include "data/table/dbf_table.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "table_paths.h"

namespace blend {
namespace {

void usage() {
  std::fprintf(stderr,
               "usage: blendtab eval [--ini MAIN.INI] [--table TABLE [--record N]]\n"
               "                     [--set NAME=TEXT]... 'EXPRESSION'\n"
               "  Prints the value of a stored expression (UTF-8 in and out). Settings come from\n"
               "  the MAIN.INI given (read only), or the defaults; --set publishes a named text;\n"
               "  --table makes a table current (alias: its name), on record N (default 1).\n");
}

const char* typeName(const Value& v) {
  switch (v.type()) {
    case Value::Type::Text: return "text";
    case Value::Type::Number: return "number";
    case Value::Type::Date: return "date";
    case Value::Type::Logical: return "logical";
    case Value::Type::Array: return "array";
    case Value::Type::Nil: break;
  }
  return "NIL";
}

}  // namespace

int evalCommand(const std::vector<std::string>& args) {
  std::optional<std::string> ini;
  std::vector<std::pair<std::string, std::string>> published;
  std::optional<std::string> source;
  std::optional<std::string> tablePath;
  long record = 1;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--ini" && i + 1 < args.size()) {
      ini = args[++i];
    } else if (args[i] == "--table" && i + 1 < args.size()) {
      tablePath = args[++i];
    } else if (args[i] == "--record" && i + 1 < args.size()) {
      record = std::atol(args[++i].c_str());
    } else if (args[i] == "--set" && i + 1 < args.size()) {
      const std::string& pair = args[++i];
      const size_t eq = pair.find('=');
      if (eq == std::string::npos) return usage(), 2;
      published.emplace_back(pair.substr(0, eq), utf8ToCp874(pair.substr(eq + 1)));
    } else if (!source && (args[i].empty() || args[i][0] != '-' || args[i].size() == 1 ||
                           std::isdigit(static_cast<unsigned char>(args[i][1])))) {
      source = args[i];
    } else {
      return usage(), 2;
    }
  }
  if (!source) return usage(), 2;
  if (ini && !std::filesystem::exists(*ini)) {
    std::fprintf(stderr, "blendtab: no such file: %s\n", ini->c_str());
    return 1;
  }

  const Settings settings = ini ? readSettings(*ini) : readSettings("/nonexistent/MAIN.INI");
  NamedValues names(&settings);
  for (const auto& [name, text] : published) names.set(name, Value(text));
  SystemClock clock;
  ConsoleErrors errors;
  Workspace workspace(errors);
  workspace.setKeyCompiler(expressionKeys(workspace, errors, &names));
  if (tablePath) {
    const TableFiles files = tableFiles(*tablePath);
    Table* table = std::filesystem::exists(files.table)
                       ? workspace.open(files.table, files.name, OpenMode::Shared)
                       : nullptr;
    if (!table) {
      std::fprintf(stderr, "blendtab: cannot open %s\n", files.table.string().c_str());
      return 1;
    }
    table->goTo(static_cast<std::uint32_t>(std::max(0L, record)));
  }
  expr::Env env{errors, tablePath ? &workspace : nullptr, &names, &clock, &settings};

  const Value value = evaluateText(utf8ToCp874(*source), env);
  if (errors.count > 0) return 1;
  std::printf("%s\n%s\n", typeName(value), cp874ToUtf8(displayText(value)).c_str());
  return 0;
}

}  // namespace blend
