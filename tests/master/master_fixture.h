#pragma once
// What the master-data tests share: an installation's code tables in a fresh folder, a station
// context whose operator answers from a script, and a quick way to read a table back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/context.h"
#include "data/cp874.h"
#include "data/layouts.h"
#include "data/table/dbf_table.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "master/browser.h"
#include "support/dialog_script.h"
#include "support/scripted_errors.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace blend::test {

struct CodeRow {
  std::string code;
  std::string name;  // UTF-8
  bool deleted = false;
};

class MasterFixture : public ::testing::Test {
 protected:
  MasterFixture() {
    settings.CDRV1 = dir.path().string() + "/";
    settings.CTRUSTEE = std::string(42, '6');
    settings.CUSER = "ADMIN";
    tables.setKeyCompiler(expressionKeys(tables, errors));
  }

  // A code table of the installation's layout holding these rows (its index is built by the
  // first open).
  void makeTable(const std::string& name, const std::vector<CodeRow>& rows) {
    const auto path = dir / (name + ".DBF");
    ASSERT_TRUE(Table::create(errors, path, findLayout(name)->fields));
    Table t(errors);
    ASSERT_TRUE(t.open(path, OpenMode::Exclusive));
    for (const CodeRow& row : rows) {
      ASSERT_TRUE(t.append());
      t.setField("CODE", Value(row.code));
      t.setField("NAME", Value(utf8ToCp874(row.name)));
      if (row.deleted) t.deleteRecord();
    }
  }

  // The table's rows in code order, each "CODE|NAME" trimmed, "*" before a deleted one.
  std::vector<std::string> rowsOf(const std::string& name) {
    Workspace fresh(errors, {});
    fresh.setKeyCompiler(expressionKeys(fresh, errors));
    Table* t = fresh.open(dir / (name + ".DBF"), name, OpenMode::Shared);
    EXPECT_TRUE(t);
    std::vector<std::string> out;
    if (!t) return out;
    t->attachIndex(dir / (name + ".NTX"));
    for (t->goTop(); !t->eof(); t->skip())
      out.push_back(std::string(t->deleted() ? "*" : "") + trimmed(t->field("CODE").text()) + "|" +
                    cp874ToUtf8(trimmed(t->field("NAME").text())));
    return out;
  }

  // A browser from the menu, driven by `act`; the dialogs it opens in turn are driven by the
  // steps `more` adds.
  void browse(int tableNo, const QString& title, std::function<void(Dialog&)> act) {
    DialogScript script;
    script.then(title, std::move(act));
    more(script);
    POPCODE(ctx, tables, BrowseMode::Menu, tableNo, "");
  }
  std::function<void(DialogScript&)> more = [](DialogScript&) {};

  static std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  TempDir dir;
  Settings settings;
  ScriptedUi ui;
  ManualClock clock;
  ScriptedErrors errors;
  Context ctx{settings, ui, clock, errors};
  Workspace tables{errors};
};

}  // namespace blend::test
