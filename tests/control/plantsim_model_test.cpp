// The simulated plant without a terminal: hoppers that feed, settle and discharge, the line
// framing with its faults, the I/O box's bag input.
#include <gtest/gtest.h>

#include <set>

#include "bus.h"
#include "hopper.h"
#include "options.h"
#include "plant.h"

namespace plantsim {
namespace {

constexpr double kDt = 0.01;

// Runs the hopper until it is still (or a minute has passed); the speeds it fed at, in order.
std::vector<int> runUntilStill(Hopper& h) {
  std::vector<int> speeds;
  for (double t = 0; t < 120 && !h.stable(); t += kDt) {
    if (h.feeding() >= 0 && (speeds.empty() || speeds.back() != h.feeding()))
      speeds.push_back(h.feeding());
    h.advance(kDt);
  }
  return speeds;
}

TEST(Hopper, FeedsThroughItsSpeedsAndStopsAtTheFinalCutOffPlusItsInFlight) {
  HopperParams p;
  p.rate = {40, 10, 2};
  p.inflight = {6, 1.5, 0.3};
  p.fallTime = 0.5;
  const struct {
    double final, fast, big;
    std::vector<int> speeds;
  } cases[] = {
      {100, 90, 70, {kBig, kFast, kFinal}},
      {100, 90, 0, {kFast, kFinal}},  // big switched off
      {100, 0, 0, {kFinal}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.final);
    Hopper h(p);
    h.load(c.final, c.fast, c.big);
    const std::vector<int> speeds = runUntilStill(h);
    ASSERT_TRUE(h.stable());
    EXPECT_EQ(speeds, c.speeds);
    EXPECT_NEAR(h.material(), c.final + p.inflight[kFinal], 1e-6);
    EXPECT_NEAR(h.reading(), h.material(), p.stableBand);
  }
}

TEST(Hopper, MaterialInFlightLandsAfterTheCutOffAndTheReadingSettles) {
  HopperParams p;
  p.swing = 0.5;
  p.settleTime = 0.3;
  Hopper h(p);
  h.load(10, 0, 0);  // final speed only, 2 kg/s: cut at 5 s
  while (h.feeding() >= 0) h.advance(kDt);
  EXPECT_GE(h.material(), 10);
  EXPECT_LT(h.material(), 10.1) << "in-flight material is still falling";
  EXPECT_FALSE(h.stable());
  h.advance(p.fallTime + kDt);
  EXPECT_NEAR(h.material(), 10 + p.inflight[kFinal], 1e-6);
  EXPECT_FALSE(h.stable()) << "the reading swings once the material stops";
  EXPECT_GT(std::abs(h.reading() - h.material()), 0.1);
  for (int i = 0; i < 300; ++i) h.advance(kDt);
  EXPECT_TRUE(h.stable());
}

TEST(Hopper, ClearingTheSetPointsStopsTheFeed) {
  Hopper h;
  h.load(100, 90, 70);
  for (int i = 0; i < 50; ++i) h.advance(kDt);  // 0.5 s of big feeding: 20 kg
  h.load(0, 0, 0);
  runUntilStill(h);
  EXPECT_NEAR(h.material(), 20 + h.params().inflight[kBig], 1e-6);
}

TEST(Hopper, DischargesToEmptyAndZeroesOnCommand) {
  Hopper h({}, 12.5);
  h.zero();
  EXPECT_DOUBLE_EQ(h.net(), 0);
  h.load(50, 45, 30);
  runUntilStill(h);
  EXPECT_GT(h.net(), 50);

  h.requestDischarge();
  h.openDischarge();
  EXPECT_TRUE(h.discharging());
  h.load(50, 45, 30);  // set points that come while the gate is open do not feed
  runUntilStill(h);
  EXPECT_FALSE(h.discharging());
  EXPECT_DOUBLE_EQ(h.material(), 0);
  EXPECT_DOUBLE_EQ(h.net(), -12.5) << "the zero stays where it was set";
  h.zero();
  EXPECT_NEAR(h.reading(), 0, h.params().stableBand);
}

// ---- The line ------------------------------------------------------------------------------

std::string setPoints(char address, const char* fields) {
  std::string f{STX, address, 'G'};
  f += fields;
  unsigned sum = 0;
  for (char c : f) sum += static_cast<unsigned char>(c);
  f += static_cast<char>(sum % 256);
  return f + "\r\n";
}

struct Line {
  explicit Line(PlantConfig config = {}, BusConfig bus = {}) : plant(config), bus(plant, bus) {
    this->bus.printer = [this](std::string_view d) { printer += d; };
    this->bus.display = [this](std::string_view d) { display += d; };
  }
  // What the line carries back after `bytes`, sent in pieces.
  std::string exchange(std::initializer_list<std::string_view> pieces, double at) {
    for (std::string_view p : pieces) bus.receive(p, at);
    return bus.service(at);
  }
  Plant plant;
  Bus bus;
  std::string printer, display;
};

TEST(Bus, CutsFramesByTheirCommandNotByTheLineEndsInside) {
  PlantConfig config;
  config.contents[3] = 12.34;
  config.countsPerKg = 100;
  Line line(config);
  // The all-zero set points of address 1 have the checksum LF and those of address 4 CR;
  // the output bytes of the I/O frame are CR and LF too.
  const std::string zero1 = setPoints(1, "00000000000000000000");
  const std::string zero4 = setPoints(4, "00000000000000000000");
  ASSERT_EQ(zero1[23], '\n');
  ASSERT_EQ(zero4[23], '\r');
  const std::string stream = zero1 + zero4 + std::string{STX, 9, 'R', '!', '\r', '\n'} +
                             std::string{STX, 14, 'W', '\r', '\n', ETX} +
                             std::string{STX, 4, 'R', '!', '\r', '\n'};
  const std::string out = line.exchange(
      {std::string_view(stream).substr(0, 20), std::string_view(stream).substr(20)}, 1.0);

  // Address 9 has no device: four replies, in order.
  ASSERT_EQ(out.size(), 26u * 3 + 7) << hex(out);
  EXPECT_EQ(out.substr(0, 3), (std::string{STX, 1, '+'}));
  EXPECT_EQ(out.substr(26, 10), (std::string{STX, 4} + "+0001234"));
  EXPECT_EQ(out.substr(52, 7), (std::string{STX, 14, 'W', '\r', '\n', 0x08, ETX}));
  EXPECT_EQ(out.substr(59, 12), (std::string{STX, 4} + "+0001234SR"));
  EXPECT_TRUE(out.ends_with("\r\n"));
}

TEST(Bus, IgnoresSetPointsWithAWrongChecksum) {
  Line line;
  std::string frame = setPoints(2, "01000009000000000000");
  frame[23] ^= 1;
  EXPECT_EQ(line.exchange({frame}, 1.0), "");
  EXPECT_LT(line.plant.hopper(2).feeding(), 0);
  EXPECT_NE(line.exchange({setPoints(2, "01000009000000000000")}, 1.1), "");
  EXPECT_EQ(line.plant.hopper(2).feeding(), kFast);
}

TEST(Bus, PassThroughDataGoToPrinterAndDisplayOnceTheLineIsQuiet) {
  Line line;
  const std::string shown = std::string{STX} + "  400.75  250.50   0001\r\n";
  line.exchange({std::string{'B', 11} + shown}, 1.0);
  EXPECT_EQ(line.display, "") << "the frame may go on";
  line.bus.service(1.0 + 2 * kQuietGap);
  EXPECT_EQ(line.display, shown);

  line.exchange({std::string{'B', 12} + "^XA^FDlabel^FS"}, 2.0);
  line.bus.service(2.0 + 2 * kQuietGap);
  line.exchange({"^XZ"}, 3.0);  // a printer line sent without the head
  line.bus.service(3.0 + 2 * kQuietGap);
  EXPECT_EQ(line.printer, "^XA^FDlabel^FS^XZ");
}

TEST(Bus, InjectsTheFaultsAskedFor) {
  const std::string read1{STX, 1, 'R', '!', '\r', '\n'};
  const std::string io{STX, 14, 'W', 0, 0, ETX};
  const struct {
    const char* name;
    Fault fault;
    std::string request;
    std::size_t size;  // of the reply; 0 = none
    char first;
  } cases[] = {
      {"silent", {.silent = 1}, read1, 0, 0},
      {"garbled", {.garble = 1}, read1, 26, '?'},
      {"short indicator", {.shorten = 1}, read1, 25, STX},
      {"short I/O box", {.shorten = 1}, io, 6, STX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BusConfig bus;
    bus.faults[static_cast<unsigned char>(c.request[1])] = c.fault;
    Line line({}, bus);
    const std::string out = line.exchange({c.request}, 1.0);
    ASSERT_EQ(out.size(), c.size) << hex(out);
    if (c.size) {
      EXPECT_EQ(out[0], c.first);
    }
    if (c.size == 25) {
      EXPECT_TRUE(out.ends_with("\r\n"));
    }
  }

  BusConfig late;
  late.faults[1].late = 2.5;
  Line line({}, late);
  EXPECT_EQ(line.exchange({read1}, 1.0), "");
  EXPECT_EQ(*line.bus.nextDue(), 3.5);
  EXPECT_EQ(line.bus.service(3.4), "");
  EXPECT_EQ(line.bus.service(3.5).size(), 26u);
}

TEST(IoBox, TheBagComesBackABagDelayAfterTheGateClosed) {
  IoBox box(5);
  EXPECT_EQ(box.inputs(), kBagInput) << "a bag is in place at the start";
  box.setOutputs(kGateOutput | 1, 10);
  box.advanceTo(12);
  EXPECT_EQ(box.inputs(), kBagInput) << "the bag fills while the gate is open";
  box.setOutputs(1, 12);
  box.advanceTo(16.9);
  EXPECT_EQ(box.inputs(), 0);
  box.advanceTo(17);
  EXPECT_EQ(box.inputs(), kBagInput);
}

TEST(Options, TakeTheBusLayoutFromTheSettingsAndReportBadValues) {
  auto parsed = parseOptions({"--rate", "30,8,1.5", "--rate-bin", "3:20,5,1", "--silent", "14",
                              "--garble", "2:0.25", "--pace"});
  ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<std::string>(parsed);
  Options o = std::get<Options>(parsed);
  EXPECT_EQ(o.plant.hoppers[0].rate, (std::array<double, 3>{30, 8, 1.5}));
  EXPECT_EQ(o.plant.hoppers[2].rate, (std::array<double, 3>{20, 5, 1}));
  EXPECT_EQ(o.bus.faults[14].silent, 1);
  EXPECT_EQ(o.bus.faults[2].garble, 0.25);

  blend::Settings s = defaultSettings();
  s.CMPORT = "1203";
  s.CIPORT = "7";
  s.CDFIX = "100";
  s.CCPORT = "1:19200,E,8,1";
  applySettings(o, s);
  EXPECT_EQ(o.plant.indicator, (std::array<int, 8>{1, 2, 0, 3, 0, 0, 0, 0}));
  EXPECT_EQ(o.plant.ioBox, 7);
  EXPECT_EQ(o.plant.countsPerKg, 100);
  EXPECT_DOUBLE_EQ(o.bus.byteTime, 11.0 / 19200);

  for (auto bad : std::vector<std::vector<std::string>>{{"--rate", "1,2"},
                                                        {"--contents", "9:5"},
                                                        {"--garble", "3:2"},
                                                        {"--frobnicate"},
                                                        {"--log"}})
    EXPECT_TRUE(std::holds_alternative<std::string>(parseOptions(bad))) << bad[0];
}

}  // namespace
}  // namespace plantsim
