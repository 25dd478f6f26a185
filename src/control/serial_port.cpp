#include "serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace blend {
namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<int> wholeNumber(std::string_view s) {
  s = trimBlanks(s);
  if (s.empty() || s.size() > 7) return std::nullopt;
  int value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

speed_t speedOf(int baud) {
  switch (baud) {
    case 110:
      return B110;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

bool isPseudoTerminal(int fd) {
#ifdef __linux__
  struct stat st {};
  // The slave sides of Unix 98 pseudo-terminals have the majors 136 to 143.
  return fstat(fd, &st) == 0 && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
#else
  return false;
#endif
}

bool applySettings(int fd, const LineSettings& line) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return false;
  // Raw bytes both ways: the frames carry binary addresses, output images and checksums that
  // may be CR, LF, XON or XOFF, none of which the driver may translate or swallow.
  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
  tio.c_cflag &= ~CMSPAR;
#endif
  tio.c_cflag |= CLOCAL | CREAD;
  switch (line.dataBits) {
    case 5:
      tio.c_cflag |= CS5;
      break;
    case 6:
      tio.c_cflag |= CS6;
      break;
    case 7:
      tio.c_cflag |= CS7;
      break;
    default:
      tio.c_cflag |= CS8;
      break;
  }
  switch (line.parity) {
    case 'E':
      tio.c_cflag |= PARENB;
      break;
    case 'O':
      tio.c_cflag |= PARENB | PARODD;
      break;
#ifdef CMSPAR
    case 'M':
      tio.c_cflag |= PARENB | PARODD | CMSPAR;
      break;
    case 'S':
      tio.c_cflag |= PARENB | CMSPAR;
      break;
#endif
    default:
      break;
  }
  if (line.stopBits == 2) tio.c_cflag |= CSTOPB;
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  const speed_t speed = speedOf(line.baud);
  if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return false;
  if (tcsetattr(fd, TCSANOW, &tio) != 0) return false;

  // tcsetattr succeeds when any one change took; check that all of them did. A pseudo-terminal
  // carries bytes, not bits on a wire: it keeps the speed but always reports 8 data bits and no
  // parity, so the character format is only checked on a real line.
  termios now{};
  if (tcgetattr(fd, &now) != 0) return false;
  const tcflag_t mask = isPseudoTerminal(fd) ? CSTOPB : CSIZE | PARENB | PARODD | CSTOPB;
  return cfgetospeed(&now) == speed && (now.c_cflag & mask) == (tio.c_cflag & mask) &&
         (now.c_oflag & OPOST) == 0 && (now.c_lflag & ICANON) == 0;
}

}  // namespace

// ---- ReceiveRing -----------------------------------------------------------------------------

void ReceiveRing::put(const char* data, std::size_t size) {
  std::lock_guard lock(mutex_);
  if (size > kCapacity) {  // only the newest kCapacity bytes can survive
    data += size - kCapacity;
    size = kCapacity;
    overflow_ = true;
    count_ = 0;
    head_ = 0;
  }
  const std::size_t free = kCapacity - count_;
  if (size > free) {
    const std::size_t drop = size - free;
    head_ = (head_ + drop) % kCapacity;
    count_ -= drop;
    overflow_ = true;
  }
  std::size_t tail = (head_ + count_) % kCapacity;
  for (std::size_t i = 0; i < size; ++i) {
    bytes_[tail] = data[i];
    tail = (tail + 1) % kCapacity;
  }
  count_ += size;
}

std::string ReceiveRing::take(std::size_t max) {
  std::lock_guard lock(mutex_);
  const std::size_t n = std::min(max, count_);
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) out.push_back(bytes_[(head_ + i) % kCapacity]);
  head_ = (head_ + n) % kCapacity;
  count_ -= n;
  return out;
}

std::size_t ReceiveRing::size() const {
  std::lock_guard lock(mutex_);
  return count_;
}

bool ReceiveRing::takeOverflow() {
  std::lock_guard lock(mutex_);
  const bool was = overflow_;
  overflow_ = false;
  return was;
}

// ---- Settings and names ----------------------------------------------------------------------

std::optional<LineSettings> parseLineSettings(std::string_view text) {
  text = trimBlanks(text);
  if (text.size() >= 3 && (text[0] == 'C' || text[0] == 'c') &&
      (text[1] == 'O' || text[1] == 'o') && (text[2] == 'M' || text[2] == 'm')) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    text.remove_prefix(colon + 1);
  }
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t comma = text.find(',');
    parts.push_back(trimBlanks(text.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  // Only the first 12 characters of the setting are used, which can cut "1:19200,N,8,1" to
  // "1:19200,N,8,": an empty part at the end keeps its default.
  while (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  if (parts.size() > 4) return std::nullopt;

  LineSettings line;
  const auto baud = wholeNumber(parts[0]);
  if (!baud || speedOf(*baud) == B0) return std::nullopt;
  line.baud = *baud;
  if (parts.size() > 1) {
    if (parts[1].size() != 1) return std::nullopt;
    const char p = static_cast<char>(parts[1][0] & ~0x20);  // upper case
    if (std::string_view("NEOMS").find(p) == std::string_view::npos) return std::nullopt;
#ifndef CMSPAR
    if (p == 'M' || p == 'S') return std::nullopt;
#endif
    line.parity = p;
  }
  if (parts.size() > 2) {
    const auto bits = wholeNumber(parts[2]);
    if (!bits || *bits < 5 || *bits > 8) return std::nullopt;
    line.dataBits = *bits;
  }
  if (parts.size() > 3) {
    const auto stop = wholeNumber(parts[3]);
    if (!stop || (*stop != 1 && *stop != 2)) return std::nullopt;
    line.stopBits = *stop;
  }
  return line;
}

std::string serialDeviceName(int port) {
  const std::string variable = "BLENDCTL_COM" + std::to_string(port);
  if (const char* named = std::getenv(variable.c_str()); named && *named) return named;
#ifdef _WIN32
  return "\\\\.\\COM" + std::to_string(port);
#else
  return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

// ---- SerialPort ------------------------------------------------------------------------------

SerialPort::~SerialPort() {
  close();
}

bool SerialPort::open(int port, std::string_view settings) {
  close();
  const auto line = parseLineSettings(settings);
  if (port < 1 || !line) return false;
  device_ = serialDeviceName(port);

  fd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return false;
  // This process alone: the lock keeps other stations' programs (and a second task of ours)
  // off the line; TIOCEXCL refuses further opens by anyone but root.
  if (flock(fd_, LOCK_EX | LOCK_NB) != 0 || !isatty(fd_) || !applySettings(fd_, *line)) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  ioctl(fd_, TIOCEXCL);
  // A port starts with empty queues, as the line driver's own open gives them.
  tcflush(fd_, TCIOFLUSH);
  // Raise DTR for devices that take their power or enable from it; pseudo-terminals have no
  // modem lines and refuse, which is fine.
  int dtr = TIOCM_DTR;
  ioctl(fd_, TIOCMBIS, &dtr);
#ifdef __linux__
  serial_icounter_struct ic{};
  if (ioctl(fd_, TIOCGICOUNT, &ic) == 0)
    counts_ = {ic.overrun + ic.buf_overrun, ic.parity, ic.frame, ic.brk};
#endif

  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  ring_.take(ReceiveRing::kCapacity);
  ring_.takeOverflow();
  errors_ = 0;
  receiver_ = std::thread([this] { receive(); });
  return true;
}

void SerialPort::receive() {
  char buffer[kQueueSize];
  pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
  for (;;) {
    fds[0].revents = fds[1].revents = 0;
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents) return;
    if (fds[0].revents & POLLIN) {
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n > 0) {
        ring_.put(buffer, static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    } else if (!(fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
      continue;
    }
    // The device is gone (a USB adapter pulled, the far end of a pseudo-terminal closed). Try
    // again now and then rather than spin; close() wakes us at once.
    errors_ |= lineerr::kLineLost;
    pollfd stop{wake_, POLLIN, 0};
    if (poll(&stop, 1, 50) > 0) return;
  }
}

std::size_t SerialPort::write(std::string_view bytes) {
  if (fd_ < 0) return 0;
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      // The driver's queue is full. Without flow control it drains at the line's own pace; a
      // queue that does not move for seconds belongs to a dead device, and the exchange's reply
      // wait is where the caller learns of it.
      pollfd out{fd_, POLLOUT, 0};
      if (poll(&out, 1, 5000) > 0 && !(out.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
    }
    errors_ |= lineerr::kTransmitStall;
    return sent;
  }
  tcdrain(fd_);  // "sent" means on the line, not in the driver's queue
  return sent;
}

std::string SerialPort::read(std::size_t max) {
  if (fd_ < 0) return {};
  return ring_.take(std::min(max, kQueueSize));
}

unsigned SerialPort::hardwareErrors() {
  unsigned flags = 0;
#ifdef __linux__
  serial_icounter_struct ic{};
  if (fd_ >= 0 && ioctl(fd_, TIOCGICOUNT, &ic) == 0) {
    const Counts now{ic.overrun + ic.buf_overrun, ic.parity, ic.frame, ic.brk};
    if (now.overrun != counts_.overrun) flags |= lineerr::kOverrun;
    if (now.parity != counts_.parity) flags |= lineerr::kParity;
    if (now.frame != counts_.frame) flags |= lineerr::kFraming;
    if (now.brk != counts_.brk) flags |= lineerr::kBreak;
    counts_ = now;
  }
#endif
  return flags;
}

unsigned SerialPort::errorStatus() {
  unsigned flags = errors_.exchange(0) | hardwareErrors();
  if (ring_.takeOverflow()) flags |= lineerr::kRingOverflow;
  return flags;
}

void SerialPort::close() {
  if (receiver_.joinable()) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wake_, &one, sizeof one);
    receiver_.join();
  }
  if (wake_ >= 0) ::close(wake_);
  wake_ = -1;
  if (fd_ >= 0) ::close(fd_);  // releases the lock too
  fd_ = -1;
}

}  // namespace blend
