// The formula editor opened from the formula browser, driven as an operator does it.
#include <QAbstractButton>
#include <QLabel>

#include "formula_settings.h"
#include "master/browser.h"
#include "master/formula_editor.h"
#include "master_fixture.h"
#include "ui/dialog.h"
#include "ui/picture_edit.h"
#include "ui/table_grid.h"

namespace blend::test {
namespace {

const QString kFormulas = QStringLiteral("  ส่วนจัดการตารางรหัสสูตรผสม");
const QString kAdding = QStringLiteral("  เพิ่มข้อมูลรหัสสูตรผสม");
const QString kEditing = QStringLiteral("  แก้ไขข้อมูลรหัสสูตรผสมเดิม");
const QString kAudition = QStringLiteral("  FORMULA AUDITION");

class FormulaEditor : public MasterFixture {
 protected:
  void SetUp() override {
    useDefaultFormulaSettings(settings);
    settings.CFLOCK = "0";
    makeTable("RAWMAT", {{"AM", "Ammonium"},
                         {"DAP", "DAP"},
                         {"FILLER", "Filler"},
                         {"MOP", "Potash"},
                         {"UREA", "Urea"}});
    makeTable("FORMULA", {{"F1", "Starter"}, {"F3", "Grower"}});
    Table t(errors);
    ASSERT_TRUE(t.open(dir / "FORMULA.DBF", OpenMode::Exclusive));
    t.goTo(1);
    t.setField("CAPACITY", Value(1000.0));
    t.setField("AGG1", Value("UREA"));
    t.setField("QTY1", Value(600.0));
    t.setField("QTY2", Value(400.0));
    t.setField("BIG1", Value(500.0));
    t.setField("UPDATE", Value("2024-01-01 00:00"));
    t.setField("LINK", Value("1"));
  }

  void browse(std::function<void(Dialog&)> act) { MasterFixture::browse(3, kFormulas, act); }

  // Record n of FORMULA as stored.
  std::unique_ptr<Table> formula(std::uint32_t recno) {
    auto t = std::make_unique<Table>(errors);
    EXPECT_TRUE(t->open(dir / "FORMULA.DBF", OpenMode::Shared));
    t->goTo(recno);
    return t;
  }
  static std::vector<double> quantities(Table& t) {
    std::vector<double> q;
    for (int n = 1; n <= 5; ++n) q.push_back(t.field("QTY" + std::to_string(n)).number());
    return q;
  }
  static void rightClick(Dialog& d, const char* name) {
    emit d.control(name)->customContextMenuRequested(QPoint(5, 5));
  }
  static QString total(Dialog& d) { return d.control<QLabel>("total")->text(); }
};

TEST_F(FormulaEditor, AFormulaCalculatedWithAndWithoutFillerIsSavedWhereItBelongs) {
  more = [this](DialogScript& s) {
    s.then(kAdding, [this](Dialog& e) {
      EXPECT_EQ(e.text("grade"), "15-15-15");
      EXPECT_EQ(total(e), "รวม = 0.00");
      e.type("code", "f2");
      e.type("name", "Compound");
      e.type("capacity", "1000");
      e.click("noFiller");
      e.click("calculate");
      EXPECT_EQ(total(e), "รวม = 1000.00");
      EXPECT_EQ(e.text("qty4").trimmed(), "397.00");
      e.click("filler");
      e.click("calculate");
      EXPECT_EQ(e.text("agg5").trimmed(), "FILLER");
      e.type("time", "30");
      e.type("big1", "150");
      e.click("save");
    });
  };
  browse([&](Dialog& d) {
    d.control<TableGrid>("grid")->setFixedRows(10);
    d.click("add");
    EXPECT_EQ(d.control<TableGrid>("grid")->cursorRow(), 2) << "F2 stands between F1 and F3";
    d.closeBox();
  });
  auto t = formula(3);
  EXPECT_EQ(trimmed(t->field("CODE").text()), "F2");
  EXPECT_EQ(quantities(*t), (std::vector<double>{201, 330, 253, 0, 216}));
  EXPECT_EQ(trimmed(t->field("AGG3").text()), "MOP");
  EXPECT_EQ(trimmed(t->field("AGG8").text()), "-");
  EXPECT_EQ(t->field("TIME").number(), 30);
  EXPECT_EQ(t->field("BIG1").number(), 150);
  EXPECT_EQ(t->field("LINK").text(), " ");
  EXPECT_EQ(trimmed(t->field("UPDATE").text()), "") << "UPDATE is never written here";
}

TEST_F(FormulaEditor, TheLockKeepsTheCompositionButLetsTheSetPointsBeSaved) {
  settings.CFLOCK = "1";
  more = [](DialogScript& s) {
    s.then(kEditing, [](Dialog& e) {
      for (const char* locked : {"code", "capacity", "agg1", "qty1", "grade", "compensation"})
        EXPECT_FALSE(e.type(locked, "9")) << locked;
      for (const char* locked : {"calculate", "filler", "noFiller"})
        EXPECT_FALSE(e.click(locked)) << locked;
      EXPECT_TRUE(e.type("big1", "450"));
      EXPECT_TRUE(e.type("fast1", "40"));
      EXPECT_TRUE(e.type("slow1", "4"));
      EXPECT_TRUE(e.type("adjust1", "1.5"));
      EXPECT_TRUE(e.type("feed1", "12.5"));
      e.click("save");
    });
  };
  browse([&](Dialog& d) {
    d.click("edit");
    d.closeBox();
  });
  auto t = formula(1);
  EXPECT_EQ(t->field("QTY1").number(), 600);
  EXPECT_EQ(t->field("BIG1").number(), 450);
  EXPECT_EQ(t->field("FAST1").number(), 40);
  EXPECT_EQ(t->field("SLOW1").number(), 4);
  EXPECT_EQ(t->field("ADJUST1").number(), 1.5);
  EXPECT_EQ(t->field("FEED1").number(), 12.5);
  EXPECT_EQ(trimmed(t->field("UPDATE").text()), "2024-01-01 00:00");
}

TEST_F(FormulaEditor, TheServiceCodeUnlocksForThisDialogOnlyAndAWrongOneLocks) {
  settings.CFLOCK = "0";
  // The station clock: 08:00 on the 15th.
  const std::string right = "080015";
  more = [&](DialogScript& s) {
    s.then(kEditing, [&](Dialog& e) {
      EXPECT_TRUE(e.control("qty1")->isEnabled());
      rightClick(e, "cancel");  // a wrong code locks even though the site does not
      EXPECT_FALSE(e.control("qty1")->isEnabled());
      EXPECT_FALSE(e.control("calculate")->isEnabled());
      EXPECT_TRUE(e.control("big1")->isEnabled());
      rightClick(e, "cancel");
      EXPECT_TRUE(e.control("qty1")->isEnabled());
      e.click("cancel");
    });
    s.then(kAudition, [](Dialog& a) {
      a.type("password", "123456");
      a.click("ok");
    });
    s.then(kAudition, [&](Dialog& a) {
      a.type("password", QString::fromStdString(right));
      a.click("ok");
    });
  };
  browse([&](Dialog& d) {
    d.click("edit");
    d.closeBox();
  });

  // Unlocked under the site's lock; the next dialog is locked again.
  settings.CFLOCK = "1";
  more = [&](DialogScript& s) {
    s.then(kEditing, [&](Dialog& e) {
      EXPECT_FALSE(e.control("qty1")->isEnabled());
      rightClick(e, "cancel");
      EXPECT_TRUE(e.type("qty1", "650"));
      e.click("save");
    });
    s.then(kAudition, [&](Dialog& a) {
      a.type("password", QString::fromStdString(right));
      a.closeBox();  // however it closes, the code counts
    });
    s.then(kEditing, [&](Dialog& e) {
      EXPECT_FALSE(e.control("qty1")->isEnabled());
      e.closeBox();
    });
  };
  browse([&](Dialog& d) {
    d.click("edit");
    d.click("edit");
    d.closeBox();
  });
  EXPECT_EQ(formula(1)->field("QTY1").number(), 650);
}

TEST_F(FormulaEditor, ABrowserUnderTheLockRefusesNewFormulas) {
  settings.CFLOCK = "1";
  browse([&](Dialog& d) {
    ui.expectMessage("ไม่อนุญาตให้เพิ่มสูตรผสม !", "  ส่วนการเพิ่มสูตรผสม");
    d.click("add");
    d.closeBox();
  });
  EXPECT_EQ(rowsOf("FORMULA").size(), 2u);
}

TEST_F(FormulaEditor, TheTotalFollowsTheQuantitiesAndAnEmptyCodeSavesNothing) {
  more = [this](DialogScript& s) {
    s.then(kAdding, [this](Dialog& e) {
      e.type("name", "No code");
      e.type("qty1", "9000");
      e.leave("qty1");
      EXPECT_EQ(total(e), "รวม = 9000.00");
      e.type("qty2", "1000");
      e.leave("qty2");
      EXPECT_EQ(total(e), "รวม = *******");
      e.click("save");  // the code field was never entered
    });
  };
  browse([&](Dialog& d) {
    d.click("add");
    d.closeBox();
  });
  EXPECT_EQ(rowsOf("FORMULA").size(), 2u);
}

TEST_F(FormulaEditor, MaterialsAreRawMaterialCodesPickedWithoutEditing) {
  more = [this](DialogScript& s) {
    s.then(kEditing, [this](Dialog& e) {
      e.type("agg2", "dap");
      EXPECT_TRUE(e.leave("agg2")) << "a full code needs no browser";
      EXPECT_EQ(e.text("agg2").trimmed(), "DAP");
      e.type("agg3", "m");
      EXPECT_TRUE(e.leave("agg3"));
      EXPECT_EQ(e.text("agg3").trimmed(), "MOP");
      e.type("agg4", "x");
      EXPECT_FALSE(e.leave("agg4")) << "a cancelled lookup keeps the operator in the field";
      EXPECT_EQ(e.text("agg4").trimmed(), "x") << "and gets back what was typed";
      e.click("cancel");
    });
    s.then(QStringLiteral("  ส่วนจัดการตารางรหัสวัตถุดิบ"), [](Dialog& b) {
      EXPECT_EQ(b.text("filter").trimmed(), "M");
      EXPECT_FALSE(b.control("add")->isEnabled());
      EXPECT_FALSE(b.control("edit")->isEnabled());
      EXPECT_FALSE(b.control("mark")->isEnabled());
      b.click("select");
    });
    s.then(QStringLiteral("  ส่วนจัดการตารางรหัสวัตถุดิบ"), [](Dialog& b) { b.closeBox(); });
  };
  browse([&](Dialog& d) {
    d.click("edit");
    EXPECT_EQ(tables.currentAlias(), "FORMULA");
    d.closeBox();
  });
}

}  // namespace
}  // namespace blend::test
