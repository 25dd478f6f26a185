#include <gtest/gtest.h>

#include <cstdlib>

#include "control/plant_bus.h"
#include "control/serial_port.h"
#include "line_support.h"

namespace blend {
namespace {

TEST(ReceiveRing, KeepsTheNewestBytesWhenItOverflows) {
  std::string sent;
  for (int i = 0; i < 3000; ++i) sent += static_cast<char>(i * 7 % 251);
  for (std::size_t chunk : {std::size_t{1000}, std::size_t{3000}}) {
    SCOPED_TRACE(chunk);
    ReceiveRing ring;
    ring.put("ab", 2);
    EXPECT_EQ(ring.take(1), "a");
    EXPECT_FALSE(ring.takeOverflow());
    for (std::size_t at = 0; at < sent.size(); at += chunk)
      ring.put(sent.data() + at, std::min(chunk, sent.size() - at));
    EXPECT_EQ(ring.size(), ReceiveRing::kCapacity);
    EXPECT_TRUE(ring.takeOverflow());
    EXPECT_FALSE(ring.takeOverflow()) << "reading the flag clears it";
    std::string got = ring.take(1024);
    got += ring.take(5000);
    EXPECT_EQ(got, sent.substr(sent.size() - ReceiveRing::kCapacity));
    EXPECT_EQ(ring.take(10), "");
  }
}

TEST(LineSettings, AcceptsTheUsualFormsAndNothingElse) {
  const auto s = parseLineSettings("COM1:19200,e,7,2");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->baud, 19200);
  EXPECT_EQ(s->parity, 'E');
  EXPECT_EQ(s->dataBits, 7);
  EXPECT_EQ(s->stopBits, 2);
  // The setting is cut at 12 characters, which can leave a trailing comma.
  EXPECT_TRUE(parseLineSettings("COM1:19200,N,8,"));
  EXPECT_TRUE(parseLineSettings("9600"));
  for (const char* bad : {"COM1:9601,N,8,1", "COM1:9600,Q,8,1", "COM1:9600,N,9,1",
                          "COM1:9600,N,8,3", "COM1:,N,8,1", "COM1 9600", "9600,N,8,1,P"})
    EXPECT_FALSE(parseLineSettings(bad)) << bad;
}

class PortOpen : public ::testing::Test {
 protected:
  PortOpen() { setenv("BLENDCTL_COM1", peer.path.c_str(), 1); }
  test::PtyPeer peer;
  test::Station station;
};

TEST_F(PortOpen, AppliesTheLineSettingsRaw) {
  // A pseudo-terminal keeps no character format beyond the stop bits; the speed it keeps.
  station.settings.CCPORT = "1:4800,N,8,2";
  PlantBus bus(station.context);
  ASSERT_TRUE(COPEN(bus));
  const termios tio = peer.settings();
  EXPECT_EQ(cfgetospeed(&tio), B4800);
  EXPECT_EQ(tio.c_cflag & CSTOPB, CSTOPB);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u) << "LF must not become CR LF";
  EXPECT_EQ(tio.c_iflag & (ICRNL | IXON), 0u) << "CR and XON/XOFF must arrive as bytes";
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);

  EXPECT_EQ(bus.port.read(), "") << "a read returns at once";
  peer.send(std::string("\r\n\x11\x13\0", 5));
  std::string got;
  for (int i = 0; i < 20000 && got.size() < 5; ++i) {
    got += bus.port.read();
    station.clock.sleep(0.001);
  }
  EXPECT_EQ(got, std::string("\r\n\x11\x13\0", 5));
}

TEST_F(PortOpen, FailsWithItsMessage) {
  const struct {
    const char* ccport;
    const char* device;  // nullptr: the test's terminal
  } cases[] = {
      {"1:9600,N,8,1", "/nonexistent/ttyX"},
      {"1:9600,N,8,1", "/dev/null"},  // not a serial line
      {"X:9600,N,8,1", nullptr},
      {"1:9601,N,8,1", nullptr},
      {"1-9600,N,8,1", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.ccport) + " " + (c.device ? c.device : "pty"));
    setenv("BLENDCTL_COM1", c.device ? c.device : peer.path.c_str(), 1);
    station.settings.CCPORT = c.ccport;
    station.ui.expectMessage("ไม่สามารถเปิด COM.PORT ได้", "  ส่วนการอ่านค่าน้ำหนัก");
    PlantBus bus(station.context);
    EXPECT_FALSE(COPEN(bus));
    EXPECT_FALSE(bus.port.isOpen());
  }
}

TEST_F(PortOpen, IsHeldByOneTaskAtATime) {
  station.settings.CCPORT = "1:9600,N,8,1";
  PlantBus first(station.context);
  ASSERT_TRUE(COPEN(first));
  SerialPort second;
  EXPECT_FALSE(second.open(1, "9600,N,8,1"));
  first.port.close();
  EXPECT_TRUE(second.open(1, "9600,N,8,1"));
}

TEST(PortNames, FollowTheEnvironmentElseTheSystemsSerialLines) {
  unsetenv("BLENDCTL_COM3");
  EXPECT_EQ(serialDeviceName(3), "/dev/ttyS2");
  setenv("BLENDCTL_COM3", "/tmp/ttyPLANT", 1);
  EXPECT_EQ(serialDeviceName(3), "/tmp/ttyPLANT");
  unsetenv("BLENDCTL_COM3");
}

}  // namespace
}  // namespace blend
