// Frames on the wire: the station's side opened through COPEN on a pseudo-terminal whose other
// end the test plays. Replies a case needs are put on the line before the request goes out:
// the station never flushes its input, so they are what it reads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "control/indicator_link.h"
#include "control/io_box.h"
#include "line_support.h"

namespace blend {
namespace {

using test::hexBytes;

// A reply the way an indicator sends one: 26 bytes, the weight in bytes 3 to 10.
std::string indicatorReply(std::string_view weight8, std::string_view tail = "SR000000000000") {
  return std::string{STX, 1} + std::string(weight8) + std::string(tail) + "\r\n";
}

std::string ioReply(char inputs) {
  return {STX, 14, 'W', 0, 0, inputs, ETX};
}

class Wire : public ::testing::Test {
 protected:
  Wire() {
    setenv("BLENDCTL_COM1", peer.path.c_str(), 1);
    station.settings.CCPORT = "1:9600,N,8,1";
  }
  void SetUp() override { ASSERT_TRUE(COPEN(bus)); }

  test::PtyPeer peer;
  test::Station station;
  PlantBus bus{station.context};
};

TEST_F(Wire, IndicatorRequestsGoOutByteForByte) {
  const struct {
    const char* name;
    const char* cmport;
    const char* cindic;
    const char* cdfix;
    int hopper, command;
    std::array<double, 4> f;
    std::string frame;
  } cases[] = {
      {"set points",
       "12345678",
       "HP11",
       "10",
       1,
       1,
       {499.2, 480, 400, 0},
       std::string{STX, 1, 'G'} + "04992048000400000000" + "\x32\r\n"},
      {"clear, checksum LF",
       "12345678",
       "HP11",
       "10",
       1,
       1,
       {0, 0, 0, 0},
       std::string{STX, 1, 'G'} + "00000000000000000000" + "\n\r\n"},
      {"clear, checksum CR",
       "12345678",
       "HP11",
       "10",
       4,
       1,
       {0, 0, 0, 0},
       std::string{STX, 4, 'G'} + "00000000000000000000" + "\r\r\n"},
      {"last five digits, negative as 0",
       "12345678",
       "HP11",
       "10",
       1,
       1,
       {123456.7, -5, 0, 0},
       std::string{STX, 1, 'G'} + "34567000000000000000" + "\x23\r\n"},
      {"halves round away from zero",
       "12345678",
       "HP11",
       "100",
       1,
       1,
       {1.005, 0, 0, 0},
       std::string{STX, 1, 'G'} + "00101000000000000000" + "\x0C\r\n"},
      {"read", "12345678", "HP11", "10", 2, 0, {}, std::string{STX, 2, 'R', '!', CR, LF}},
      {"read, address from CMPORT",
       "90000000",
       "HP11",
       "10",
       1,
       0,
       {},
       std::string{STX, 9, 'R', '!', CR, LF}},
      {"discharge request",
       "12345678",
       "HP11",
       "10",
       3,
       5,
       {},
       std::string{STX, 3, 'F', '\xFE', CR, LF}},
      {"discharge output",
       "12345678",
       "HP11",
       "10",
       8,
       6,
       {},
       std::string{STX, 8, 'O'} + "00001000\r\n"},
      {"discharge output, HP04",
       "12345678",
       "HP04-S",
       "10",
       8,
       6,
       {},
       std::string{STX, 8, 'O'} + "10000000\r\n"},
      {"zero", "12345678", "HP11", "10", 5, 7, {}, std::string{STX, 5, 'Z', CR, LF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    station.settings.CMPORT = c.cmport;
    station.settings.CINDIC = c.cindic;
    station.settings.CDFIX = c.cdfix;
    peer.send(indicatorReply("+0000010"));
    EXPECT_TRUE(HP_COMM(bus, c.hopper, c.command, c.f[0], c.f[1], c.f[2], c.f[3], false));
    EXPECT_EQ(hexBytes(peer.receive(c.frame.size())), hexBytes(c.frame));
  }
}

TEST_F(Wire, IndicatorRepliesAreCheckedAndTheirWeightRead) {
  const struct {
    const char* name;
    std::string reply;
    bool valid;
    double weight;
  } cases[] = {
      {"26 bytes", indicatorReply("+0004992"), true, 499.2},
      {"longer", indicatorReply("+0004992", "SR000000000000XXXX"), true, 499.2},
      {"25 bytes", indicatorReply("+0004992", "SR00000000000"), false, 0},
      {"not STX first", "?" + indicatorReply("+0004992").substr(1), false, 0},
      {"minus sign", indicatorReply("-0000125"), true, -12.5},
      {"blanks and a point", indicatorReply("  12.5 k"), true, 1.25},
      {"no digits", indicatorReply("ABCDEFGH"), true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bus.CMACTUAL[0] = 7.7;
    bus.CLINK = "---------";
    peer.send(c.reply);
    EXPECT_EQ(HP_COMM(bus, 1, 0), c.valid);
    EXPECT_DOUBLE_EQ(bus.CMACTUAL[0], c.valid ? c.weight : 7.7) << "a failure keeps the weight";
    EXPECT_EQ(bus.CLINK, c.valid ? "---------" : "-1-------");
    peer.receive(6);
  }
}

TEST_F(Wire, AHopperWithoutIndicatorSendsNothing) {
  station.settings.CMPORT = "10345678";
  bus.CLINK = "---------";
  EXPECT_FALSE(HP_COMM(bus, 2, 0));
  EXPECT_EQ(bus.CLINK, "---------");
  peer.send(indicatorReply("+0000010"));
  EXPECT_TRUE(HP_COMM(bus, 3, 0));
  // The first bytes on the line are hopper 3's request.
  EXPECT_EQ(hexBytes(peer.receive(6)), hexBytes(std::string{STX, 3, 'R', '!', CR, LF}));
}

TEST_F(Wire, ALateReplyIsReadAsTheStartOfTheNext) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(HP_COMM(bus, 1, 0));
  EXPECT_GE(test::secondsSince(start), 1.9) << "two seconds of silence before giving up";
  EXPECT_EQ(bus.CLINK, "-1-------");

  peer.send(indicatorReply("+0000111"));  // the reply to the request that gave up
  EXPECT_TRUE(HP_COMM(bus, 1, 0));
  EXPECT_DOUBLE_EQ(bus.CMACTUAL[0], 11.1);
  peer.send(indicatorReply("+0000222"));
  EXPECT_TRUE(HP_COMM(bus, 1, 0));
  EXPECT_DOUBLE_EQ(bus.CMACTUAL[0], 22.2);
  EXPECT_EQ(bus.CLINK, "---------");
}

TEST_F(Wire, TheIdleLimitStartsAgainWithEveryByte) {
  // Three pieces 1.2 s apart: 2.4 s in all, but never 2 s without a byte.
  const std::string reply = indicatorReply("+0000333");
  std::thread device([&] {
    peer.receive(6);
    peer.send(reply.substr(0, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    peer.send(reply.substr(10, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    peer.send(reply.substr(20));
  });
  EXPECT_TRUE(HP_COMM(bus, 1, 0, 0, 0, 0, 0, false));
  device.join();
  EXPECT_DOUBLE_EQ(bus.CMACTUAL[0], 33.3);
}

TEST_F(Wire, TheIoBoxGetsTheWholeOutputImageEveryTime) {
  const struct {
    const char* mode;
    int output, value;
    std::string frame;
  } steps[] = {
      {"W", 2, 1, std::string{STX, 0x0E, 'W', 0x02, 0x00, ETX}},
      {"W", 9, 1, std::string{STX, 0x0E, 'W', 0x02, 0x01, ETX}},
      {"W", 16, 1, std::string{STX, 0x0E, 'W', 0x02, '\x81', ETX}},
      {"W", 2, 0, std::string{STX, 0x0E, 'W', 0x00, '\x81', ETX}},
      {"R", 0, 0, std::string{STX, 0x0E, 'W', 0x00, '\x81', ETX}},
      {"C", 0, 0, std::string{STX, 0x0E, 'W', 0x00, 0x00, ETX}},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(hexBytes(s.frame));
    peer.send(ioReply(0x08));
    EXPECT_TRUE(IOCONTROL(bus, s.mode, s.output, s.value));
    EXPECT_EQ(hexBytes(peer.receive(6)), hexBytes(s.frame));
  }
  EXPECT_EQ(bus.PINPUT, "00001000");
}

TEST_F(Wire, IoBoxRepliesAreCheckedAndAFailedChangeIsSentAgain) {
  const struct {
    const char* name;
    std::string reply;
    bool valid;
  } cases[] = {
      {"6 bytes", ioReply(0x08).substr(0, 6), false},
      {"ETX not seventh", std::string{STX, 14, 'W', 0, 0, 8, 0}, false},
      {"no W", std::string{STX, 14, 'R', 0, 0, 8, ETX}, false},
      {"8 bytes, ETX seventh", ioReply(0x08) + "\r", true},  // last: its 8th byte may linger
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bus.PINPUT = "00000001";
    bus.CLINK = "---------";
    peer.send(c.reply);
    EXPECT_EQ(IOCONTROL(bus, "R", 0, 0, true), c.valid);
    EXPECT_EQ(bus.PINPUT, c.valid ? "00001000" : "00000001");
    EXPECT_EQ(bus.CLINK, c.valid ? "---------" : "0--------");
    peer.receive(6);
  }

  EXPECT_FALSE(IOCONTROL(bus, "W", 5, 1)) << "nobody answers";
  peer.receive(6);
  peer.send(ioReply(0));
  EXPECT_TRUE(IOCONTROL(bus, "R"));
  EXPECT_EQ(hexBytes(peer.receive(6)), hexBytes(std::string{STX, 0x0E, 'W', 0x10, 0x00, ETX}));
}

}  // namespace
}  // namespace blend
