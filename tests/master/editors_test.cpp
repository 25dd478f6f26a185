// The code-table editors, opened from the browser the way an operator does, over real tables.
#include <QAbstractButton>

#include "master/browser.h"
#include "master_fixture.h"
#include "ui/dialog.h"
#include "ui/picture_edit.h"
#include "ui/table_grid.h"

namespace blend::test {
namespace {

const QString kCompanies = QStringLiteral("  ส่วนจัดการตารางรหัสบริษัท");
const QString kUsers = QStringLiteral("  ส่วนจัดการตารางรหัสผู้ใช้โปรแกรม");
const QString kUnits = QStringLiteral("  ส่วนจัดการตารางรหัสหน่วยนับ");

class Editors : public MasterFixture {
 protected:
  void SetUp() override {
    makeTable("COMPANY", {{"B100", "Bravo"}, {"D100", "Delta"}, {"F100", "Foxtrot"}});
    makeTable("USERLIST", {{"ADMIN", "Administrator"}, {"OPER", "Operator"}});
    makeTable("UNIT", {{"KG", "Kilogram"}});
    // Every record has gone to the server once: LINK shows which ones must go again.
    for (const char* name : {"COMPANY", "UNIT"}) {
      Table t(errors);
      ASSERT_TRUE(t.open(dir / (std::string(name) + ".DBF"), OpenMode::Exclusive));
      for (t.goTop(); !t.eof(); t.skip()) t.setField("LINK", Value("1"));
    }
  }

  static TableGrid& grid(Dialog& d) { return *d.control<TableGrid>("grid"); }
  static std::string cursorCode(Dialog& d) {
    return grid(d).item(grid(d).cursorRow() - 1, 0)->text().trimmed().toStdString();
  }

  std::string linkOf(const std::string& table, const std::string& code) {
    Table t(errors);
    EXPECT_TRUE(t.open(dir / (table + ".DBF"), OpenMode::Shared));
    for (t.goTop(); !t.eof(); t.skip())
      if (trimmed(t.field("CODE").text()) == code) return t.field("LINK").text();
    return "?";
  }
};

TEST_F(Editors, AnAddedCompanyShowsOnItsRowInCodeOrderWithLinkBlank) {
  more = [](DialogScript& s) {
    s.then("  เพิ่มข้อมูลรหัสบริษัท", [](Dialog& e) {
      e.type("code", "e100");
      e.type("name", "Echo");
      e.type("addr1", "1 Road");
      e.type("addr2", "District");
      e.click("save");
    });
  };
  browse(1, kCompanies, [&](Dialog& d) {
    grid(d).setFixedRows(10);
    d.click("add");
    EXPECT_EQ(grid(d).cursorRow(), 3) << "the 3rd record in code order";
    EXPECT_EQ(cursorCode(d), "E100");
    d.closeBox();
  });
  const std::vector<std::string> expected{"B100|Bravo", "D100|Delta", "E100|Echo", "F100|Foxtrot"};
  EXPECT_EQ(rowsOf("COMPANY"), expected);
  EXPECT_EQ(linkOf("COMPANY", "E100"), " ");
  EXPECT_EQ(linkOf("COMPANY", "B100"), "1");
}

TEST_F(Editors, CancelCloseBoxOrAnEmptyCodeWriteNothingAndTheGridStaysPut) {
  more = [](DialogScript& s) {
    s.then("  แก้ไขข้อมูลรหัสบริษัท", [](Dialog& e) {
      e.type("name", "Changed");
      e.click("cancel");
    });
    s.then("  แก้ไขข้อมูลรหัสบริษัท", [](Dialog& e) {
      e.type("name", "Changed");
      e.closeBox();
    });
    s.then("  เพิ่มข้อมูลรหัสบริษัท", [](Dialog& e) {
      e.type("name", "Nameless");
      e.click("save");  // the code field was never entered: saved, but nothing to write
    });
  };
  browse(1, kCompanies, [&](Dialog& d) {
    grid(d).clickRow(2);
    d.click("edit");
    d.click("edit");
    d.click("add");
    EXPECT_EQ(cursorCode(d), "D100");
    EXPECT_EQ(grid(d).cursorRow(), 2);
    d.closeBox();
  });
  const std::vector<std::string> expected{"B100|Bravo", "D100|Delta", "F100|Foxtrot"};
  EXPECT_EQ(rowsOf("COMPANY"), expected);
  EXPECT_EQ(linkOf("COMPANY", "D100"), "1");
}

TEST_F(Editors, ACodeChangeMovesTheRecordAndATakenCodeKeepsTheFocus) {
  more = [this](DialogScript& s) {
    s.then("  แก้ไขข้อมูลรหัสบริษัท", [this](Dialog& e) {
      EXPECT_EQ(e.text("code").trimmed(), "B100");
      e.type("code", "F100");
      ui.expectMessage("รหัสนี้มีในตารางข้อมูลแล้ว !", "คำเตือน");
      EXPECT_FALSE(e.leave("code"));
      // A mouse click on save takes no focus from the field it was typed into: checked too.
      e.type("code", "D100");
      ui.expectMessage("รหัสนี้มีในตารางข้อมูลแล้ว !", "คำเตือน");
      e.control<QAbstractButton>("save")->click();
      EXPECT_NE(e.result(), QDialog::Accepted);
      e.type("code", "Z100");
      e.click("save");
    });
  };
  browse(1, kCompanies, [&](Dialog& d) {
    d.click("edit");
    d.closeBox();
  });
  const std::vector<std::string> expected{"D100|Delta", "F100|Foxtrot", "Z100|Bravo"};
  EXPECT_EQ(rowsOf("COMPANY"), expected);
  EXPECT_EQ(linkOf("COMPANY", "Z100"), " ");
}

TEST_F(Editors, AUnitKeepsItsQuantityWithTheFieldsDecimals) {
  more = [](DialogScript& s) {
    s.then("  แก้ไขข้อมูลรหัสหน่วยนับ", [](Dialog& e) {
      e.type("qty", "1000.5");
      e.click("save");
    });
  };
  browse(6, kUnits, [&](Dialog& d) {
    d.click("edit");
    d.closeBox();
  });
  Table t(errors);
  ASSERT_TRUE(t.open(dir / "UNIT.DBF", OpenMode::Shared));
  t.goTo(1);
  EXPECT_EQ(t.field("QTY").number(), 1000.5);
  EXPECT_EQ(t.field("LINK").text(), " ");
}

TEST_F(Editors, PasswordAndRightsButtonsOnlyForFullUserRightsWhenEditing) {
  struct Case {
    char digit;
    bool adding;
    bool buttons;
  };
  for (const Case c : {Case{'5', false, false}, Case{'6', false, true}, Case{'6', true, false}}) {
    settings.CTRUSTEE[5] = c.digit;
    more = [&](DialogScript& s) {
      s.then(c.adding ? "  เพิ่มข้อมูลรหัสพนักงานใหม่" : "  แก้ไขข้อมูลรหัสพนักงานใหม่", [&](Dialog& e) {
        EXPECT_EQ(e.control("password") != nullptr, c.buttons) << c.digit << c.adding;
        EXPECT_EQ(e.control("rights") != nullptr, c.buttons) << c.digit << c.adding;
        e.click("cancel");
      });
    };
    browse(4, kUsers, [&](Dialog& d) {
      d.click(c.adding ? "add" : "edit");
      d.closeBox();
    });
  }
}

TEST_F(Editors, AUserNamedAnewKeepsPasswordAndRightsAndNoLink) {
  more = [](DialogScript& s) {
    s.then("  แก้ไขข้อมูลรหัสพนักงานใหม่", [](Dialog& e) {
      e.type("name", "Shift Operator");
      e.click("save");
    });
  };
  {
    Table t(errors);
    ASSERT_TRUE(t.open(dir / "USERLIST.DBF", OpenMode::Exclusive));
    t.goTo(2);
    t.setField("TRUSTEE", Value("1111"));
  }
  browse(4, kUsers, [&](Dialog& d) {
    grid(d).clickRow(2);
    d.click("select");  // from the menu, picking a row opens it for editing
    d.closeBox();
  });
  Table t(errors);
  ASSERT_TRUE(t.open(dir / "USERLIST.DBF", OpenMode::Shared));
  t.goTo(2);
  EXPECT_EQ(trimmed(t.field("NAME").text()), "Shift Operator");
  EXPECT_EQ(trimmed(t.field("TRUSTEE").text()), "1111");
}

}  // namespace
}  // namespace blend::test
