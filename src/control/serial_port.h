#pragma once
// The one serial line of the plant bus.
//
// A port is opened by its number (1 to 9) with a line-settings text such as "9600,N,8,1" and is
// held by one task from open to close. Writing blocks until every byte has gone out; reading
// never blocks: a background receiver moves whatever arrives into a 2048-byte ring, and a read
// takes what the ring holds. Callers wait for replies themselves (see plant_bus.h). Nothing is
// flushed between requests, so bytes that arrive after a caller gave up are the start of what
// the next caller reads.
//
// Port n is the device named by the environment variable BLENDCTL_COM<n> when that is set (how
// tests and the demo reach the simulated plant on a pseudo-terminal), else /dev/ttyS<n-1>.
// The implementation is POSIX termios with one receiver thread.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace blend {

// Line error flags that errorStatus() reports, one bit each.
namespace lineerr {
constexpr unsigned kRingOverflow = 0x0001;  // the receive ring overwrote unread bytes
constexpr unsigned kOverrun = 0x0002;       // the UART lost bytes
constexpr unsigned kParity = 0x0004;
constexpr unsigned kFraming = 0x0008;
constexpr unsigned kBreak = 0x0010;
constexpr unsigned kTransmitStall = 0x0100;  // a write could not get its bytes out
constexpr unsigned kLineLost = 0x8000;       // the device went away (read error or hang-up)
}  // namespace lineerr

// The receive ring: one producer (the receiver thread), one consumer. When it is full the
// oldest unread bytes make room for the new ones, and the overflow is remembered.
class ReceiveRing {
 public:
  static constexpr std::size_t kCapacity = 2048;

  void put(const char* data, std::size_t size);
  std::string take(std::size_t max);
  std::size_t size() const;
  // Whether bytes were overwritten since the last call.
  bool takeOverflow();

 private:
  mutable std::mutex mutex_;
  char bytes_[kCapacity] = {};
  std::size_t head_ = 0;  // index of the oldest unread byte
  std::size_t count_ = 0;
  bool overflow_ = false;
};

struct LineSettings {
  int baud = 9600;
  char parity = 'N';  // N, E, O, M or S
  int dataBits = 8;   // 5 to 8
  int stopBits = 1;   // 1 or 2
};

// Reads "COM1:9600,N,8,1" (the "COMn:" head is optional): baud rate, then optionally parity
// letter, data bits and stop bits, separated by commas; a missing tail takes N, 8, 1. Nothing
// when the text is not such a setting or names a rate the line cannot run at.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// The device of port n.
std::string serialDeviceName(int port);

class SerialPort {
 public:
  static constexpr std::size_t kQueueSize = 1024;

  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Opens port n for this process alone, applies the settings and starts the receiver. False
  // when the device cannot be opened, is held by someone else, or the settings text is not
  // accepted; the port is then closed.
  bool open(int port, std::string_view settings);
  bool isOpen() const { return fd_ >= 0; }
  const std::string& device() const { return device_; }

  // Blocks until every byte has been sent; the count sent (less only when the line failed).
  std::size_t write(std::string_view bytes);
  // At once, with up to max bytes that have arrived, oldest first; possibly none.
  std::string read(std::size_t max = kQueueSize);
  // Bytes waiting in the ring.
  std::size_t available() const { return ring_.size(); }
  // The line error flags (lineerr) raised since the last call; reading clears them.
  unsigned errorStatus();
  // Stops the receiver and releases the device. Unread bytes are dropped.
  void close();

 private:
  void receive();
  unsigned hardwareErrors();

  int fd_ = -1;
  int wake_ = -1;  // eventfd that tells the receiver to stop
  std::string device_;
  std::thread receiver_;
  ReceiveRing ring_;
  std::atomic<unsigned> errors_{0};
  struct Counts {
    int overrun = 0, parity = 0, frame = 0, brk = 0;
  } counts_;
};

}  // namespace blend
