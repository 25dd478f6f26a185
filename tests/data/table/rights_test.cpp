// Passwords, rights and the login check against a real USERLIST.
#include "data/rights.h"

#include "data/layouts.h"
#include "data/table/expression_keys.h"
#include "support/scripted_ui.h"
#include "table_fixture.h"

namespace blend {
namespace {

class Rights : public test::TableFixture {
 protected:
  Rights() {
    settings.CDRV1 = dir.path().string() + "/";
    ws.setKeyCompiler(expressionKeys(ws, errors));
  }
  void makeUsers() {
    makeTable("USERLIST.DBF", findLayout("USERLIST")->fields,
              {{"ADMIN", "Administrator", encipherPassword("SECRET"), std::string(42, '6')},
               {"NEW", "Not yet set", "      ", ""}});
  }

  Settings settings;
  test::ScriptedUi ui;
  test::ManualClock clock;
  Context context{settings, ui, clock, errors};
  Workspace ws{errors};
};

TEST_F(Rights, PasswordsKeepTheirLengthAndComeBack) {
  for (const char* password : {"SECRET", "AB    ", "123456", "\xA1\xB2\xC3\xD4\xE5\xF6", "~!@#$%"}) {
    const std::string stored = encipherPassword(password);
    EXPECT_EQ(stored.size(), 6u);
    EXPECT_NE(stored, password);
    EXPECT_EQ(decipherPassword(stored), password);
  }
  EXPECT_EQ(encipherPassword("      "), "      ");
  EXPECT_EQ(encipherPassword("AB").substr(2), "    ");
}

TEST_F(Rights, RightsTextsAreReadDigitByDigit) {
  EXPECT_EQ(normaliseRights("129x6"), "120060" + std::string(36, '0'));
  EXPECT_EQ(rightsLevel("0123456", 7), 6);
  EXPECT_EQ(rightsLevel("012", 10), 0);  // beyond the text
  EXPECT_EQ(rightsLevel("x", 1), 0);
  const struct {
    char digit;
    bool allowed;
  } cases[] = {{'0', false}, {'2', false}, {'3', true}, {'6', true}};
  for (const auto& c : cases) {
    settings.CTRUSTEE = std::string(9, '6') + c.digit;
    if (!c.allowed) ui.expectMessage("คุณไม่มีอำนาจที่จะใช้คำสั่งนี้", "  ส่วนการกำหนดอำนาจ");
    EXPECT_EQ(AUTHCHK(context, 10, 3), c.allowed) << c.digit;
  }
  settings.CTRUSTEE.clear();  // a user with no rights saved yet
  ui.expectMessage("คุณไม่มีอำนาจ");
  EXPECT_FALSE(AUTHCHK(context, 1, 1));
}

TEST_F(Rights, TheLoginChecksCodeAndPassword) {
  makeUsers();
  EXPECT_FALSE(USERCHK(context, ws, "admin", "wrong"));
  EXPECT_FALSE(USERCHK(context, ws, "nobody", "secret"));
  EXPECT_FALSE(USERCHK(context, ws, "new", "")) << "a password never set never matches";
  EXPECT_FALSE(USERCHK(context, ws, "ADM", "secret")) << "a prefix is not the code";
  EXPECT_TRUE(settings.CUSER.empty());
  EXPECT_TRUE(USERCHK(context, ws, "admin", "secret"));  // typed in lower case
  EXPECT_EQ(settings.CUSER, "ADMIN");
  EXPECT_EQ(settings.CLOGIN, "Administrator");
  EXPECT_EQ(settings.CTRUSTEE, std::string(42, '6'));
  EXPECT_EQ(ws.table("USERLIST"), nullptr) << "closed again";
}

TEST_F(Rights, TheServiceCodeFollowsTheClock) {
  clock.date = Date::fromYmd(2024, 3, 15);
  clock.seconds = 8 * 3600 + 5 * 60 + 30;
  EXPECT_EQ(serviceCode(clock), "080515");
  clock.seconds += 60;
  EXPECT_EQ(serviceCode(clock), "080615");
}

}  // namespace
}  // namespace blend
