// A hopper's whole cycle the way the mixing run drives it, through the station's link to
// plantsim configured from a MAIN.INI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "control/indicator_link.h"
#include "line_support.h"
#include "support/temp_dir.h"

namespace blend {
namespace {

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(PlantCycle, AHopperFeedsToItsCutOffPlusInFlightAndDischargesToEmpty) {
  test::TempDir dir;
  const auto ini = dir / "MAIN.INI";
  const std::string iniText = "[Comm]\r\nRawMat=31245678\r\n[Misc]\r\nIndDec=100\r\n";
  std::ofstream(ini, std::ios::binary) << iniText;
  test::PlantSimProcess plant({"--ini", ini.string(), "--rate", "100,50,5", "--inflight", "2,1,0.5",
                               "--fall", "0.2", "--swing", "0"});
  setenv("BLENDCTL_COM1", plant.device.c_str(), 1);

  test::Station station;
  station.settings.CMPORT = "31245678";  // hopper 1 answers at address 3
  station.settings.CDFIX = "100";
  PlantBus bus(station.context);
  ASSERT_TRUE(COPEN(bus));
  const auto readUntil = [&](auto condition) {
    const auto start = std::chrono::steady_clock::now();
    while (test::secondsSince(start) < 30) {
      if (HP_COMM(bus, 1, 0) && condition(bus.CMACTUAL[0])) return true;
      station.clock.sleep(0.05);
    }
    return false;
  };

  ASSERT_TRUE(HP_COMM(bus, 1, 1, 30, 25, 20, 0));
  EXPECT_TRUE(readUntil([](double kg) { return kg >= 30.5; })) << bus.CMACTUAL[0];
  station.clock.sleep(0.3);
  ASSERT_TRUE(HP_COMM(bus, 1, 0));
  EXPECT_DOUBLE_EQ(bus.CMACTUAL[0], 30.5) << "the final cut-off plus the final in-flight";

  ASSERT_TRUE(HP_COMM(bus, 1, 1, 0, 0, 0, 0));
  ASSERT_TRUE(HP_COMM(bus, 1, 5));
  ASSERT_TRUE(HP_COMM(bus, 1, 6));
  EXPECT_TRUE(readUntil([](double kg) { return kg <= 0; })) << bus.CMACTUAL[0];
  EXPECT_DOUBLE_EQ(bus.CMACTUAL[0], 0);

  EXPECT_EQ(fileText(ini), iniText) << "plantsim only reads the station's file";
  unsetenv("BLENDCTL_COM1");
}

}  // namespace
}  // namespace blend
