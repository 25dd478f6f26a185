// The user editor's rights and password dialogs and the service-code dialog, driven the way a
// person uses them, against a real USERLIST.
#include <gtest/gtest.h>

#include "data/cp874.h"
#include "data/layouts.h"
#include "data/rights.h"
#include "data/table/dbf_table.h"
#include "data/table/expression_keys.h"
#include "data/table/workspace.h"
#include "shell/rights_dialogs.h"
#include "support/dialog_script.h"
#include "support/scripted_errors.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

constexpr std::uint32_t kAdmin = 1;   // password SECRET
constexpr std::uint32_t kNewbie = 2;  // password never set

const QString kLegendTitle = QStringLiteral("  การกำหนดระดับอำนาจ");
const QString kRightsOfAdmin = QStringLiteral("  ADMIN : Administrator");
const QString kRightsOfNewbie = QStringLiteral("  NEWBIE : สมชาย");
const QString kPasswordOfAdmin = QStringLiteral("  ADMIN - Administrator");
const QString kPasswordOfNewbie = QStringLiteral("  NEWBIE - สมชาย");
const std::string kPasswordTitle = "  ส่วนการกำหนดรหัสผ่าน";

// Positions 1 to 14 as the editor shows them, then the ones it does not show.
const std::string kAdminRights =
    "9123456012345X"
    "0123456789ABCDEF012345665432";
const std::string kNewbieRights(42, '1');

class UserEditor : public ::testing::Test {
 protected:
  UserEditor() {
    Table::create(errors, path(), findLayout("USERLIST")->fields);
    {
      Table t(errors);
      t.open(path(), OpenMode::Exclusive);
      const auto add = [&](const char* code, std::string name, std::string password,
                           std::string rights) {
        t.append();
        t.setField("CODE", Value(code));
        t.setField("NAME", Value(utf8ToCp874(name)));
        t.setField("PASS_W", Value(password));
        t.setField("TRUSTEE", Value(rights));
      };
      add("ADMIN", "Administrator", encipherPassword("SECRET"), kAdminRights);
      add("NEWBIE", "สมชาย", std::string(6, ' '), kNewbieRights);
    }
    settings.CDRV1 = dir.path().string() + "/";
    tables.setKeyCompiler(expressionKeys(tables, errors));
    settings.CUSER = "ADMIN";
    settings.CTRUSTEE = kAdminRights;
  }

  std::filesystem::path path() const { return dir / "USERLIST.DBF"; }

  // The user editor has USERLIST open and is on this user's record.
  void editUser(std::uint32_t recno) {
    Table* users = tables.open(path(), "USERLIST", OpenMode::Shared);
    ASSERT_NE(users, nullptr);
    users->goTo(recno);
  }

  // What another station reads from disk.
  std::string stored(std::uint32_t recno, const char* field) {
    Table t(errors);
    t.open(path(), OpenMode::Shared);
    t.goTo(recno);
    return t.field(field).text();
  }

  test::TempDir dir;
  Settings settings;
  test::ScriptedUi ui;
  test::ManualClock clock;
  test::ScriptedErrors errors;
  Context context{settings, ui, clock, errors};
  Workspace tables{errors};
};

// ----- rights

TEST_F(UserEditor, SavingWritesTheShownDigitsNormalisedAndCarriesTheHiddenPositions) {
  editUser(kAdmin);
  test::DialogScript script;
  script.then(kRightsOfAdmin, [](Dialog& d) {
    EXPECT_EQ(d.text("right1"), "0") << "a stored 9 is no level";
    EXPECT_EQ(d.text("right2"), "1");
    EXPECT_EQ(d.text("right7"), "6");
    EXPECT_EQ(d.text("right8"), "0");
    EXPECT_EQ(d.text("right14"), "0");
    EXPECT_EQ(d.text("label8"), QStringLiteral("ตารางรหัสหน่วยนับ"));
    EXPECT_TRUE(d.type("right14", "5"));
    EXPECT_TRUE(d.click("save"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
  });
  TRUSTEE(context, tables);

  const std::string expected =
      "0123456012345"
      "5"
      "0123456000000000012345665432";
  ASSERT_EQ(expected.size(), 42u);
  EXPECT_EQ(stored(kAdmin, "TRUSTEE"), expected);
  EXPECT_EQ(settings.CTRUSTEE, expected) << "the logged-in user's rights apply at once";
}

TEST_F(UserEditor, SavingAnotherUsersRightsLeavesTheLoggedInUsersAlone) {
  editUser(kNewbie);
  test::DialogScript script;
  script.then(kRightsOfNewbie, [](Dialog& d) {
    d.type("right3", "6");
    d.click("save");
  });
  TRUSTEE(context, tables);

  EXPECT_EQ(stored(kNewbie, "TRUSTEE"), "116" + std::string(39, '1'));
  EXPECT_EQ(settings.CTRUSTEE, kAdminRights);
}

TEST_F(UserEditor, ADigitThatIsNoLevelShowsTheLegendAndKeepsTheOperatorUntilCancel) {
  editUser(kAdmin);
  test::DialogScript script;
  script.then(kRightsOfAdmin, [&](Dialog& d) {
    script.then(kLegendTitle, [](Dialog& legend) {
      const qsizetype width = legend.text("level0").size();
      for (int level = 0; level <= 6; ++level) {
        const QString line = legend.text(QStringLiteral("level%1").arg(level));
        EXPECT_TRUE(line.startsWith(QStringLiteral("%1 = ").arg(level))) << line.toStdString();
        EXPECT_EQ(line.size(), width) << "every line padded to one width";
      }
      EXPECT_TRUE(legend.text("level5").contains(QStringLiteral("แก้ไข/ลบ")));
      legend.click("ok");
    });
    d.type("right4", "7");
    EXPECT_FALSE(d.leave("right4"));
    EXPECT_EQ(script.opened, 2);
    EXPECT_FALSE(d.click("save")) << "the field still refuses";
    EXPECT_TRUE(d.click("cancel"));
  });
  TRUSTEE(context, tables);

  EXPECT_EQ(stored(kAdmin, "TRUSTEE"), kAdminRights);
  EXPECT_EQ(settings.CTRUSTEE, kAdminRights);
}

TEST_F(UserEditor, OnlyTheDigitsZeroToSixAreLevels) {
  const struct {
    std::string digit;
    bool level;
  } cases[] = {{"0", true}, {"6", true}, {"7", false}, {"", false}, {" ", false}, {"06", false}};
  for (const auto& c : cases) {
    test::DialogScript script;
    if (!c.level) script.then(kLegendTitle, [](Dialog& legend) { legend.click("ok"); });
    EXPECT_EQ(TRUSCHK(context, c.digit), c.level) << '"' << c.digit << '"';
  }
}

// ----- password

TEST_F(UserEditor, APasswordChangeIsRefusedUntilBothChecksPassThenWritten) {
  editUser(kAdmin);
  test::DialogScript script;
  script.then(kPasswordOfAdmin, [&](Dialog& d) {
    d.type("old", "secret");
    d.type("new", "abc");
    d.type("again", "abd");
    ui.expectMessage("การทวนรหัสใหม่ไม่ถูกต้อง", kPasswordTitle);
    EXPECT_TRUE(d.click("save"));
    EXPECT_NE(d.result(), QDialog::Accepted) << "the dialog stays for a correction";

    d.type("again", "ABC");
    d.type("old", "wrong");
    ui.expectMessage("ระบุรหัสเดิมไม่ถูกต้อง", kPasswordTitle);
    d.click("save");
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(stored(kAdmin, "PASS_W"), encipherPassword("SECRET")) << "nothing written yet";

    d.type("old", "SECRET");
    ui.expectMessage("การเปลี่ยนรหัสใหม่เรียบร้อย", kPasswordTitle);
    d.click("save");
    EXPECT_EQ(d.result(), QDialog::Accepted);
  });
  PASSUSER(context, tables);

  EXPECT_EQ(ui.beeps, 3) << "a tone before each of the three messages";
  EXPECT_EQ(stored(kAdmin, "PASS_W"), encipherPassword("ABC   "));
  EXPECT_FALSE(USERCHK(context, tables, "ADMIN", "SECRET"));
  EXPECT_TRUE(USERCHK(context, tables, "admin", "abc"));
}

TEST_F(UserEditor, APasswordNeverSetTakesAnyOldTextAndTheNewOneLogsIn) {
  EXPECT_FALSE(USERCHK(context, tables, "NEWBIE", ""));
  editUser(kNewbie);
  test::DialogScript script;
  script.then(kPasswordOfNewbie, [&](Dialog& d) {
    d.type("old", "x");
    d.type("new", "first1");
    d.type("again", "first1");
    ui.expectMessage("การเปลี่ยนรหัสใหม่เรียบร้อย", kPasswordTitle);
    d.click("save");
  });
  PASSUSER(context, tables);

  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(USERCHK(context, tables, "NEWBIE", "FIRST1"));
}

TEST_F(UserEditor, ABlankPasswordFieldRefusesToBeLeftAndCancelWritesNothing) {
  editUser(kNewbie);
  test::DialogScript script;
  script.then(kPasswordOfNewbie, [&](Dialog& d) {
    d.type("old", "   ");
    EXPECT_FALSE(d.leave("old"));
    EXPECT_FALSE(d.type("new", "abc")) << "the empty field keeps the operator";
    d.type("old", "x");
    d.click("save");
    EXPECT_NE(d.result(), QDialog::Accepted) << "no blank password is set, not even the first";
    EXPECT_TRUE(d.click("cancel"));
  });
  PASSUSER(context, tables);

  EXPECT_EQ(stored(kNewbie, "PASS_W"), std::string(6, ' '));
  EXPECT_EQ(ui.beeps, 0);
}

// ----- service code

TEST_F(UserEditor, TheServiceCodeIsTheClocksWhenTheDialogCloses) {
  // The clock stands at 08:00 on the 15th.
  const struct {
    const char* typed;
    double minutesBeforeClosing;
    bool byButton;
    bool accepted;
  } cases[] = {
      {"080015", 0, true, true},
      {"080015", 1, true, false},  // typed in time, but the code moved on before OK
      {"080115", 1, true, true},
      {"080015", 0, false, true},  // closed by the close box
      {"08001", 0, true, false},
  };
  for (const auto& c : cases) {
    clock.seconds = 8 * 3600;
    test::DialogScript script;
    script.then(QStringLiteral("  AUTHORITY CHECK"), [&](Dialog& d) {
      d.type("password", QString::fromLatin1(c.typed));
      clock.seconds += 60 * c.minutesBeforeClosing;
      if (c.byButton)
        d.click("ok");
      else
        d.closeBox();
    });
    EXPECT_EQ(FUNPASS(context), c.accepted) << c.typed << " +" << c.minutesBeforeClosing;
  }
}

}  // namespace
}  // namespace blend
