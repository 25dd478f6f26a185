#include "ui/dialog.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <fstream>

#include "support/dialog_script.h"
#include "support/temp_dir.h"
#include "ui/picture_button.h"
#include "ui/picture_edit.h"
#include "ui/text.h"

namespace blend {
namespace {

// A small dialog with a code field that must not be "BAD", and a note field enabled only while
// a code is there.
struct CodeDialog {
  Dialog dialog{"  รหัส"};
  int saves = 0;
  CodeDialog() {
    PictureEdit* code = dialog.addEdit("code", "@!", QRect(10, 10, 100, 30), 4);
    code->setValid([code] { return code->value().trimmed() != "BAD"; });
    dialog.addEdit("note", "@!", QRect(10, 50, 200, 30), 10);
    dialog.enableWhen("note", [code] { return !code->value().trimmed().isEmpty(); });
    dialog.addButton("save", "&บันทึก", QRect(10, 90, 80, 30), [this] {
      ++saves;
      dialog.accept();
    });
    dialog.addButton("cancel", "&ยกเลิก", QRect(100, 90, 80, 30), [this] { dialog.reject(); },
                     ButtonRole::Cancel);
  }
};

TEST(DialogDriver, DrivesControlsByNameTheWayAPersonDoes) {
  CodeDialog c;
  test::DialogScript script;
  script.then("  รหัส", [](Dialog& d) {
    EXPECT_FALSE(d.type("note", "x")) << "disabled until a code is typed";
    EXPECT_TRUE(d.type("code", "ab"));
    EXPECT_TRUE(d.leave("code"));
    EXPECT_EQ(d.text("code"), "AB");
    EXPECT_TRUE(d.type("note", "ok"));
    EXPECT_TRUE(d.click("save"));
  });
  EXPECT_EQ(c.dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(c.saves, 1);
}

TEST(DialogDriver, AFieldThatRefusesToBeLeftHoldsEverythingButCancel) {
  CodeDialog c;
  test::DialogScript script;
  script.then("  รหัส", [](Dialog& d) {
    EXPECT_TRUE(d.type("code", "bad"));
    EXPECT_FALSE(d.click("save"));
    EXPECT_FALSE(d.type("note", "x"));
    EXPECT_TRUE(d.click("cancel"));
  });
  EXPECT_EQ(c.dialog.exec(), QDialog::Rejected);
  EXPECT_EQ(c.saves, 0);
}

TEST(DialogDriver, AnUndrivenDialogFailsTheTestAndIsCancelled) {
  CodeDialog c;
  test::DialogScript script;
  int failures = 0;
  {
    ::testing::TestPartResultArray results;
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    EXPECT_EQ(c.dialog.exec(), QDialog::Rejected);
    failures = results.size();
  }
  EXPECT_EQ(failures, 1);
}

TEST(Pictures, MissingOnesLeaveTheirAreaEmptyOrFallBackToText) {
  test::TempDir dir;
  test::ScopedCwd cwd(dir.path());
  Dialog dialog("  ภาพ");
  QLabel* picture = dialog.addPicture("p", ".\\library\\none.bmp", QRect(0, 0, 50, 50));
  EXPECT_TRUE(picture->pixmap().isNull());

  PictureButton missing(".\\library\\none.bmp", "พิมพ์", "สั่งพิมพ์");
  EXPECT_FALSE(missing.hasPicture());
  EXPECT_EQ(missing.text(), "พิมพ์");
  EXPECT_EQ(missing.toolTip(), "พิมพ์");

  std::filesystem::create_directories("LIBRARY");
  QPixmap pixmap(40, 40);
  pixmap.fill(Qt::red);
  ASSERT_TRUE(pixmap.save("LIBRARY/Print.BMP", "BMP"));
  PictureButton present(".\\library\\print.bmp", "พิมพ์", "สั่งพิมพ์");
  EXPECT_TRUE(present.hasPicture());
  EXPECT_EQ(present.iconSize(), QSize(40, 40));
}

TEST(Codec, ConvertsAtTheScreenBoundary) {
  EXPECT_EQ(fromCp874("\xA1\xD2\xC3"), "การ");
  EXPECT_EQ(toCp874("การ"), "\xA1\xD2\xC3");
}

}  // namespace
}  // namespace blend
