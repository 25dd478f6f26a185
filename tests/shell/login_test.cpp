// The login dialog driven the way a person uses it, against a real USERLIST.
#include <QCoreApplication>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include <fstream>

#include "data/layouts.h"
#include "data/rights.h"
#include "data/table/dbf_table.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "shell/login_dialog.h"
#include "support/dialog_script.h"
#include "support/scripted_errors.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

class Login : public ::testing::Test {
 protected:
  Login() {
    settings.CDRV1 = dir.path().string() + "/";
    tables.setKeyCompiler(expressionKeys(tables, errors));
    const auto path = dir / "USERLIST.DBF";
    Table::create(errors, path, findLayout("USERLIST")->fields);
    Table t(errors);
    t.open(path, OpenMode::Exclusive);
    t.append();
    t.setField("CODE", Value("ADMIN"));
    t.setField("NAME", Value("Administrator"));
    t.setField("PASS_W", Value(encipherPassword("SECRET")));
    t.setField("TRUSTEE", Value(std::string(42, '6')));
  }

  test::TempDir dir;
  Settings settings;
  test::ScriptedUi ui;
  test::ManualClock clock;
  test::ScriptedErrors errors;
  Context context{settings, ui, clock, errors};
  Workspace tables{errors};
};

TEST_F(Login, AWrongAttemptKeepsTheDialogAndALowerCaseCodeLogsIn) {
  test::DialogScript script;
  script.then("  ส่วนการระบุชื่อผู้ใช้โปรแกรม", [&](Dialog& d) {
    d.type("user", "admin");
    d.type("password", "wrong");
    ui.expectMessage("ชื่อและรหัสผ่านไม่ถูกต้อง", "ส่วนบันทึกรหัสผ่าน");
    EXPECT_TRUE(d.click("ok"));
    EXPECT_NE(d.result(), QDialog::Accepted) << "the dialog stays";
    EXPECT_EQ(d.text("user"), "ADMIN");
    d.type("password", "secret");
    d.click("ok");
  });
  EXPECT_TRUE(PASSWORD(context, tables));
  EXPECT_EQ(settings.CUSER, "ADMIN");
  EXPECT_EQ(settings.CLOGIN, "Administrator");
}

TEST_F(Login, CancellingLeavesNobodyLoggedIn) {
  test::DialogScript script;
  script.then("  ส่วนการระบุชื่อผู้ใช้โปรแกรม", [](Dialog& d) {
    d.type("user", "admin");
    d.click("cancel");
  });
  EXPECT_FALSE(PASSWORD(context, tables));
  EXPECT_TRUE(settings.CUSER.empty());
}

TEST_F(Login, ThePictureOpensTheDocumentViewerAndTheLoginStays) {
  std::ofstream(dir / "DocFile.TXT") << "hello";
  test::DialogScript script;
  script.then("  ส่วนการระบุชื่อผู้ใช้โปรแกรม", [&](Dialog& d) {
    script.then("  VELMORA", [](Dialog& viewer) { viewer.click("back"); });
    QMouseEvent press(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(d.control("picture"), &press);
    EXPECT_EQ(script.opened, 2);
    d.closeBox();
  });
  EXPECT_FALSE(PASSWORD(context, tables));
}

}  // namespace
}  // namespace blend
