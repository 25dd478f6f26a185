// The test panel and the zero function against plantsim, the plant on a pseudo-terminal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "control/indicator_link.h"
#include "control/io_test.h"
#include "line_support.h"
#include "support/dialog_script.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

const QString kTitle = QStringLiteral("  ส่วนทดสอบการควบคุม");

// Hopper n holds n * 10 + 0.5 kg at the start.
std::vector<std::string> plantOptions(std::vector<std::string> more) {
  std::vector<std::string> args;
  for (int n = 1; n <= 8; ++n) {
    args.push_back("--contents");
    args.push_back(std::to_string(n) + ":" + std::to_string(n * 10) + ".5");
  }
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

class AgainstThePlant : public ::testing::Test {
 protected:
  void start(std::vector<std::string> more) {
    plant = std::make_unique<test::PlantSimProcess>(plantOptions(std::move(more)));
    setenv("BLENDCTL_COM1", plant->device.c_str(), 1);
  }
  void TearDown() override { unsetenv("BLENDCTL_COM1"); }

  test::TempDir dir;
  std::unique_ptr<test::PlantSimProcess> plant;
  test::Station station;
};

TEST_F(AgainstThePlant, TheTestPanelShowsEveryDeviceAndClearsThePlant) {
  const std::string log = (dir / "bus.log").string();
  start({"--log", log});
  test::DialogScript script;
  script.then(kTitle, [](Dialog& d) {
    EXPECT_EQ(d.text("line1"), "การสื่อสารกับหัวอ่านที่ 1");
    EXPECT_EQ(d.text("line9"), "การสื่อสารกับกล่องควบคุม");
    EXPECT_EQ(d.text("start"), "เริ่ม");
    EXPECT_EQ(d.text("exit"), "ออก");
    EXPECT_TRUE(d.click("start"));
    for (int n = 1; n <= 8; ++n)
      EXPECT_EQ(d.text(QStringLiteral("line%1").arg(n)),
                QStringLiteral("หัวอ่านที่ %1 = %2.5").arg(n).arg(n * 10));
    EXPECT_EQ(d.text("line9"), "กล่องควบคุม = OK");
    EXPECT_TRUE(d.click("exit"));
  });
  IOTEST(station.context);
  EXPECT_EQ(station.ui.beeps, 9);

  // Every indicator had its set points cleared and every output went off.
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  for (char address : {'1', '2', '3', '4', '5', '6', '7', '8'})
    EXPECT_NE(text.str().find(std::string("RX 02 0") + address +
                              " 47 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30 30"),
              std::string::npos)
        << address;
  EXPECT_NE(text.str().find("RX 02 0E 57 00 00 03"), std::string::npos);
}

TEST_F(AgainstThePlant, ASilentIndicatorShowsErrorAndTheTestGoesOn) {
  start({"--silent", "3"});
  double took = 0;
  test::DialogScript script;
  script.then(kTitle, [&](Dialog& d) {
    const auto begin = std::chrono::steady_clock::now();
    d.click("start");
    took = test::secondsSince(begin);
    EXPECT_EQ(d.text("line2"), "หัวอ่านที่ 2 = 20.5");
    EXPECT_EQ(d.text("line3"), "หัวอ่านที่ 3 = ERROR");
    EXPECT_EQ(d.text("line4"), "หัวอ่านที่ 4 = 40.5");
    EXPECT_EQ(d.text("line8"), "หัวอ่านที่ 8 = 80.5");
    EXPECT_EQ(d.text("line9"), "กล่องควบคุม = OK");
    d.click("exit");
  });
  IOTEST(station.context);
  EXPECT_GE(took, 1.9) << "the silent indicator had its two seconds";
  EXPECT_EQ(station.ui.beeps, 9);
}

TEST_F(AgainstThePlant, ZeroingZeroesEveryScaleThatAnswers) {
  start({"--silent", "3"});
  station.ui.expectMessage("หัวอ่านที่ 3 = ERROR", "  ZERO FUNCTION");
  IOZERO(station.context);

  PlantBus bus(station.context);
  ASSERT_TRUE(COPEN(bus));
  for (int n : {1, 2, 4, 5, 6, 7, 8}) {
    SCOPED_TRACE(n);
    bus.CMACTUAL[n - 1] = 99;
    EXPECT_TRUE(HP_COMM(bus, n, 0, 0, 0, 0, 0, false));
    EXPECT_DOUBLE_EQ(bus.CMACTUAL[n - 1], 0);
  }
}

TEST_F(AgainstThePlant, APortThatDoesNotOpenLeavesTheLinesAsTheyWere) {
  setenv("BLENDCTL_COM1", (dir / "no-such-line").c_str(), 1);
  station.ui.expectMessage("ไม่สามารถเปิด COM.PORT ได้");
  test::DialogScript script;
  script.then(kTitle, [](Dialog& d) {
    d.click("start");
    EXPECT_EQ(d.text("line1"), "การสื่อสารกับหัวอ่านที่ 1");
    EXPECT_EQ(d.text("line9"), "การสื่อสารกับกล่องควบคุม");
    d.closeBox();
  });
  IOTEST(station.context);
  EXPECT_EQ(station.ui.beeps, 0);
}

TEST(PlantControlDisabled, TheTestPanelAndTheZeroFunctionOnlySaySo) {
  test::Station station;
  station.settings.CUSEIO = "0";
  setenv("BLENDCTL_COM1", "/nonexistent/ttyX", 1);  // a port they must not even try
  test::DialogScript noDialog;
  for (auto run : {+[](Context& c) { IOTEST(c); }, +[](Context& c) { IOZERO(c); }}) {
    station.ui.expectMessage("I/O Control Section Disable !", "  I/O Control");
    run(station.context);
  }
  EXPECT_EQ(noDialog.opened, 0);
  unsetenv("BLENDCTL_COM1");
}

}  // namespace
}  // namespace blend
