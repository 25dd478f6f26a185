#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>

#include "data/cp874.h"
#include "shell/commands.h"
#include "shell/desktop_programs.h"
#include "shell/document_viewer.h"
#include "shell/exit_dialog.h"
#include "shell/main_layout.h"
#include "shell/main_window.h"
#include "support/dialog_script.h"
#include "support/scripted_errors.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

namespace fs = std::filesystem;

TEST(MainLayout, CentresThePictureOnTheScreen) {
  const MainLayout l = mainLayout(1024, 768);
  EXPECT_EQ(l.picture, QRect(152, 113, 720, 480));
  EXPECT_EQ(l.banner, QRect(152, 71, 720, 30));
  EXPECT_EQ(l.line, QRect(232, 606, 560, 30));
}

TEST(ExitConfirmation, AnswersWhatTheUserChose) {
  const struct {
    const char* action;
    bool confirmed;
  } cases[] = {{"ok", true}, {"cancel", false}, {"close box", false}};
  for (const auto& c : cases) {
    test::DialogScript script;
    script.then("  ออกจากโปรแกรม", [&](Dialog& d) {
      EXPECT_EQ(d.text("question"), "คุณต้องการออกจากโปรแกรม");
      EXPECT_EQ(d.text("ok"), "&ตกลง");
      EXPECT_EQ(d.text("cancel"), "&ยกเลิก");
      if (std::string(c.action) == "close box")
        d.closeBox();
      else
        EXPECT_TRUE(d.click(c.action));
    });
    EXPECT_EQ(FINISH(), c.confirmed) << c.action;
  }
}

class StationFixture : public ::testing::Test {
 protected:
  StationFixture() {
    settings.CHLINE = tis("โรงงานทดสอบ");
    settings.CALINK = "1";
    settings.CDRV1 = ".\\";
  }
  test::TempDir dir;
  test::ScopedCwd cwd{dir.path()};
  Settings settings;
  test::ScriptedUi ui;
  test::ManualClock clock;
  test::ScriptedErrors errors;
  Context context{settings, ui, clock, errors};
};

TEST_F(StationFixture, ClosingTheMainWindowAsksFirstHoweverItIsClosed) {
  Commands commands(context);
  MainWindow window(context, commands);
  commands.setHandler(Command::Exit, [&] { window.close(); });
  window.show();
  EXPECT_EQ(window.windowTitle(), "  โปรแกรมควบคุมการผสม สำหรับ โรงงานทดสอบ");

  test::DialogScript script;
  script.then("  ออกจากโปรแกรม", [](Dialog& d) { d.click("cancel"); });
  EXPECT_FALSE(window.close());  // the close box
  EXPECT_TRUE(window.isVisible());

  script.then("  ออกจากโปรแกรม", [](Dialog& d) { d.click("cancel"); });
  window.findChild<QToolButton*>("tool11")->click();  // the toolbar's exit
  EXPECT_TRUE(window.isVisible());

  script.then("  ออกจากโปรแกรม", [](Dialog& d) { d.click("ok"); });
  for (QAction* a : window.menuBar()->actions())
    if (a->text() == "ออกจากโปรแกรม") a->trigger();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(script.opened, 3);
}

TEST_F(StationFixture, ToolbarButtonsRunTheirCommandsAndShowTextWithoutPictures) {
  Commands commands(context);
  MainWindow window(context, commands);
  std::vector<Command> ran;
  const Command order[] = {Command::Production,  Command::InterLink, Command::IoTest,
                           Command::Reports,     Command::Maintenance, Command::DateTime,
                           Command::Variables,   Command::Calculator, Command::PrinterSetup,
                           Command::TextEditor,  Command::Exit};
  for (Command c : order) commands.setHandler(c, [&ran, c] { ran.push_back(c); });
  commands.setAutoUpload([] {});
  for (int i = 1; i <= 11; ++i) {
    auto* button = window.findChild<QToolButton*>(QString("tool%1").arg(i));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->text().isEmpty()) << "no library folder: the tooltip stands in";
    button->click();
  }
  EXPECT_EQ(ran, std::vector<Command>(std::begin(order), std::end(order)));
}

TEST_F(StationFixture, RefusedRightsStopTheEntryButNotTheAutomaticUpload) {
  Commands commands(context);
  std::vector<std::pair<int, int>> asked;
  commands.setAuthorise([&](int index, int level) {
    asked.emplace_back(index, level);
    return false;
  });
  int opened = 0, uploads = 0;
  for (Command c : {Command::Production, Command::Reports, Command::BackupWork, Command::IoTest,
                    Command::InterLink, Command::PrinterSetup, Command::TextEditor,
                    Command::Calculator, Command::Exit})
    commands.setHandler(c, [&] { ++opened; });
  commands.setAutoUpload([&] { ++uploads; });

  commands.run(Command::Production);
  commands.run(Command::Reports);
  commands.run(Command::BackupWork);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(uploads, 1);
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {10, 3}}));

  // Entries without a guard work for a user with no rights at all.
  for (Command c : {Command::IoTest, Command::InterLink, Command::PrinterSetup,
                    Command::TextEditor, Command::Calculator, Command::Exit})
    commands.run(c);
  EXPECT_EQ(opened, 6);
  EXPECT_EQ(asked.size(), 3u);

  settings.CALINK = "0";
  commands.run(Command::Production);
  EXPECT_EQ(uploads, 1);
}

TEST_F(StationFixture, DocumentViewerShowsTheFileAndNeverWritesIt) {
  {
    test::DialogScript noDialog;  // no DocFile.TXT: nothing opens
    EXPECT_FALSE(WELMESS(settings));
  }
  const std::string text = tis("ยินดีต้อนรับ\r\nบรรทัดสอง");
  std::ofstream("docfile.txt", std::ios::binary) << text;
  test::DialogScript script;
  script.then("  VELMORA", [](Dialog& d) {
    EXPECT_EQ(d.text("text"), "ยินดีต้อนรับ\nบรรทัดสอง");
    EXPECT_TRUE(d.type("text", "แก้ไข"));
    EXPECT_EQ(d.text("back"), "&กลับสู่โปรแกรม");
    d.click("back");
  });
  EXPECT_FALSE(WELMESS(settings));
  std::ifstream in("docfile.txt", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
}

TEST_F(StationFixture, DesktopProgramsAreFoundOrTheUserIsTold) {
  fs::create_directories("bin");
  EXPECT_FALSE(findDesktopProgram(DesktopProgram::Calculator, {"bin"}));
  ui.expectMessage("ไม่พบโปรแกรมเครื่องคิดเลข");
  startDesktopProgram(DesktopProgram::Calculator, ui, {QString::fromStdString((dir / "bin").string())});

  const fs::path fake = dir / "bin" / "mousepad";
  std::ofstream(fake) << "#!/bin/sh\n";
  fs::permissions(fake, fs::perms::owner_all);
  EXPECT_EQ(findDesktopProgram(DesktopProgram::TextEditor,
                               {QString::fromStdString((dir / "bin").string())}),
            QString::fromStdString(fake.string()));
}

}  // namespace
}  // namespace blend
