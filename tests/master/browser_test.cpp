// The code-table browser driven the way an operator uses it, over real code tables.
#include <QLabel>

#include "data/table/access.h"
#include "master/browser.h"
#include "master/code_search.h"
#include "master_fixture.h"
#include "ui/dialog.h"
#include "ui/picture_edit.h"
#include "ui/table_grid.h"

namespace blend::test {
namespace {

const QString kCompanies = QStringLiteral("  ส่วนจัดการตารางรหัสบริษัท");

class Browser : public MasterFixture {
 protected:
  void SetUp() override {
    makeTable("COMPANY", {{"C001", "Northern Farms"},
                          {"C002", "Golden Field"},
                          {"C003", "Old Customer", true},
                          {"D001", "Delta Co-op"},
                          {"D002", "Daybreak"},
                          {"E001", "East Golden"}});
    makeTable("WDATA", {});
    ASSERT_TRUE(tables.open(dir / "WDATA.DBF", "WDATA", OpenMode::Shared));
  }

  // A lookup as the document's company field makes it: the field's text at full width.
  bool lookup(const std::string& typed) {
    field = typed;
    field.resize(10, ' ');
    const std::string start = field;
    return POPCODE(
        ctx, tables, BrowseMode::Lookup, 1, start,
        [this](const std::string& code) { field = code; }, "WDATA");
  }

  static std::string codeOnCursor(Dialog& d) {
    TableGrid* grid = d.control<TableGrid>("grid");
    return grid->item(grid->cursorRow() - 1, 0)->text().trimmed().toStdString();
  }

  std::string field;
};

TEST_F(Browser, AFullCodeIsTakenWithoutADialog) {
  DialogScript script;  // any dialog would fail the test
  EXPECT_TRUE(lookup("c002"));
  EXPECT_EQ(field, "C002      ");
  EXPECT_EQ(tables.currentAlias(), "WDATA");
}

TEST_F(Browser, APrefixOpensOnTheFirstCodeBeginningWithItAndARowIsPicked) {
  DialogScript script;
  script.then(kCompanies, [&](Dialog& d) {
    EXPECT_EQ(d.text("filter").trimmed(), "D");
    EXPECT_EQ(codeOnCursor(d), "D001");
    EXPECT_EQ(d.control<QLabel>("count")->text(), "Record = 6");
    d.control<TableGrid>("grid")->pickRow(d.control<TableGrid>("grid")->cursorRow() + 1);
  });
  EXPECT_TRUE(lookup("d"));
  EXPECT_EQ(field, "D002      ");
  EXPECT_EQ(tables.currentAlias(), "WDATA");
}

TEST_F(Browser, NoMatchOrNothingTypedOpensAtTheTopAndCancelPutsTheTextBack) {
  for (const std::string typed : {"ZZ", ""}) {
    DialogScript script;
    script.then(kCompanies, [&](Dialog& d) {
      EXPECT_EQ(d.text("filter").trimmed(), "");
      EXPECT_EQ(codeOnCursor(d), "C001");
      d.closeBox();
    });
    EXPECT_FALSE(lookup(typed)) << typed;
    EXPECT_EQ(trimmed(field), typed);
    EXPECT_EQ(tables.currentAlias(), "WDATA");
  }
}

TEST_F(Browser, AMarkedRecordCannotBeSelectedOrOpenedForEditing) {
  for (const BrowseMode mode : {BrowseMode::Lookup, BrowseMode::Menu}) {
    DialogScript script;
    script.then(kCompanies, [&](Dialog& d) {
      d.type("filter", "c003");
      d.leave("filter");
      ASSERT_EQ(codeOnCursor(d), "C003");
      ui.expectMessage("ข้อมูลถูกทำเครื่องหมายลบ !", "  ส่วนตารางรหัส");
      d.click("select");
      EXPECT_NE(d.result(), QDialog::Accepted);
      d.closeBox();
    });
    POPCODE(
        ctx, tables, mode, 1, "", [](const std::string&) {}, "WDATA");
  }
}

TEST_F(Browser, GoingToACodeThatIsNotThereStaysAndSaysSo) {
  DialogScript script;
  script.then(kCompanies, [&](Dialog& d) {
    d.type("filter", "d0");
    d.leave("filter");
    EXPECT_EQ(codeOnCursor(d), "D001");
    ui.expectMessage("ไม่พบรหัสที่ระบุ", "ตารางรหัส");
    d.type("filter", "x");
    EXPECT_TRUE(d.leave("filter")) << "the filter may always be left";
    EXPECT_EQ(codeOnCursor(d), "D001");
    d.closeBox();
  });
  POPCODE(ctx, tables, BrowseMode::Menu, 1, "");
  EXPECT_TRUE(tables.areas().empty()) << "the menu's browser closes every table";
}

TEST_F(Browser, SearchRunsForwardWithinTheFilterBlock) {
  DialogScript script;
  script.then(kCompanies, [&](Dialog& d) {
    d.click("search");  // nothing typed: nothing happens
    EXPECT_EQ(codeOnCursor(d), "C001");

    d.type("searchText", "golden");
    d.click("search");
    EXPECT_EQ(codeOnCursor(d), "C002");

    // From C002 within the C block: "East Golden" would match but lies beyond it.
    d.type("filter", "C");
    d.leave("filter");
    d.control<TableGrid>("grid")->clickRow(2);
    ASSERT_EQ(codeOnCursor(d), "C002");
    ui.expectMessage("ไม่พบข้อมูลที่ระบุ !", "  ส่วนทำการค้นหา");
    d.click("search");
    EXPECT_EQ(codeOnCursor(d), "C002");

    // Without a filter the whole table is the block; the code counts as well as the name.
    d.type("filter", " ");
    d.leave("filter");
    d.type("searchText", "e0");
    d.click("search");
    EXPECT_EQ(codeOnCursor(d), "E001");
    d.closeBox();
  });
  POPCODE(ctx, tables, BrowseMode::Menu, 1, "");
}

TEST_F(Browser, ALookupOpenedInsideABrowserLeavesItAsItWas) {
  makeTable("UNIT", {{"KG", "Kilogram"}, {"TON", "Tonne"}});
  DialogScript script;
  script.then(kCompanies, [&](Dialog& outer) {
    outer.type("filter", "d");
    outer.leave("filter");
    outer.type("searchText", "break");
    outer.click("search");
    ASSERT_EQ(codeOnCursor(outer), "D002");

    std::string unit = "T         ";
    script.then(QStringLiteral("  ส่วนจัดการตารางรหัสหน่วยนับ"), [&](Dialog& inner) {
      EXPECT_EQ(inner.text("filter").trimmed(), "T");
      inner.type("filter", "k");
      inner.leave("filter");
      inner.closeBox();
    });
    EXPECT_FALSE(POPCODE(
        ctx, tables, BrowseMode::Lookup, 6, unit, [&](const std::string& code) { unit = code; },
        "COMPANY", false));
    EXPECT_EQ(unit, "T         ");

    EXPECT_EQ(tables.currentAlias(), "COMPANY");
    EXPECT_EQ(outer.text("filter").trimmed(), "D");
    EXPECT_EQ(codeOnCursor(outer), "D002");
    outer.click("top");
    EXPECT_EQ(codeOnCursor(outer), "C001");
    outer.closeBox();
  });
  POPCODE(ctx, tables, BrowseMode::Menu, 1, "");
}

TEST_F(Browser, TheButtonsFollowTheRightsDigitAndTheCallersPermission) {
  struct Case {
    char digit;
    bool editingAllowed;
    bool add, edit, mark;
  };
  for (const Case c : {Case{'2', true, false, false, false}, Case{'3', true, true, false, false},
                       Case{'4', true, true, true, false}, Case{'5', true, true, true, true},
                       Case{'6', false, false, false, false}}) {
    settings.CTRUSTEE = std::string(42, '6');
    settings.CTRUSTEE[2] = c.digit;  // the company table's position
    DialogScript script;
    script.then(kCompanies, [&](Dialog& d) {
      EXPECT_EQ(d.control("add")->isEnabled(), c.add) << c.digit;
      EXPECT_EQ(d.control("edit")->isEnabled(), c.edit) << c.digit;
      EXPECT_EQ(d.control("mark")->isEnabled(), c.mark) << c.digit;
      EXPECT_TRUE(d.control("select")->isEnabled());
      d.closeBox();
    });
    POPCODE(
        ctx, tables, BrowseMode::Lookup, 1, "", [](const std::string&) {}, "WDATA",
        c.editingAllowed);
  }
}

TEST_F(Browser, PickingARowFromTheMenuAsksForTheRightToEdit) {
  settings.CTRUSTEE[2] = '3';
  DialogScript script;
  script.then(kCompanies, [&](Dialog& d) {
    ui.expectMessage("คุณไม่มีอำนาจที่จะใช้คำสั่งนี้");
    d.control<TableGrid>("grid")->pickRow(1);  // no editor opens
    d.closeBox();
  });
  POPCODE(ctx, tables, BrowseMode::Menu, 1, "");
}

TEST_F(Browser, MarkingAsksAndUnmarkingUndoesIt) {
  DialogScript script;
  script.then(kCompanies, [&](Dialog& d) {
    ui.expectYesNo("สั่งทำเครื่องหมายลบ", false);
    d.click("mark");
    ui.expectYesNo("สั่งทำเครื่องหมายลบ", true);
    d.click("mark");
    d.control<TableGrid>("grid")->clickRow(3);
    ui.expectYesNo("ยกเลิกเครื่องหมายลบ", true);
    d.click("mark");
    d.closeBox();
  });
  POPCODE(ctx, tables, BrowseMode::Menu, 1, "");
  const std::vector<std::string> expected{"*C001|Northern Farms", "C002|Golden Field",
                                          "C003|Old Customer",    "D001|Delta Co-op",
                                          "D002|Daybreak",        "E001|East Golden"};
  EXPECT_EQ(rowsOf("COMPANY"), expected);
}

TEST_F(Browser, TheCodeTestLetsARecordKeepItsCodeAndRefusesAnothers) {
  ASSERT_TRUE(OPEN(ctx, tables, settings.CDRV1, "COMPANY", "code", false, "COMPANY", "COMPANY"));
  Table& t = *tables.current();
  ASSERT_TRUE(t.seek("D001"));
  const std::string own = "D001      ";
  EXPECT_TRUE(CODCHK(ctx, t, own, own));
  EXPECT_TRUE(CODCHK(ctx, t, own, "D003      "));
  EXPECT_TRUE(CODCHK(ctx, t, own, "C00       ")) << "a prefix of a code is not that code";
  for (const char* taken : {"C002      ", "C003      "}) {  // the second is marked deleted
    ui.expectMessage("รหัสนี้มีในตารางข้อมูลแล้ว !", "คำเตือน");
    EXPECT_FALSE(CODCHK(ctx, t, own, taken));
  }
  EXPECT_EQ(trimmed(t.field("CODE").text()), "D001") << "the table stays where it was";
}

}  // namespace
}  // namespace blend::test
