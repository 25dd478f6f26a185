#include "bus.h"

#include <cstdio>

namespace plantsim {
namespace {

// Length of an STX frame by its command letter; 0 when it runs to CR LF.
std::size_t frameLength(char letter) {
  switch (letter) {
    case 'R':
      return 6;
    case 'F':
      return 6;
    case 'Z':
      return 5;
    case 'O':
      return 13;
    case 'G':
      return 26;
    case 'W':
      return 6;
    default:
      return 0;
  }
}

}  // namespace

std::string hex(std::string_view bytes) {
  std::string out;
  char text[4];
  for (char c : bytes) {
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(c));
    if (!out.empty()) out += ' ';
    out += text;
  }
  return out;
}

// ---- Framer -----------------------------------------------------------------------------------

void Framer::feed(std::string_view bytes, double now) {
  if (bytes.empty()) return;
  buffer_ += bytes;
  lastByte_ = now;
}

std::vector<Frame> Framer::take(double now) {
  std::vector<Frame> frames;
  const double quiet = now - lastByte_;
  while (!buffer_.empty()) {
    if (buffer_[0] == STX) {
      std::size_t length = 0;
      if (buffer_.size() >= 3) {
        length = frameLength(buffer_[2]);
        if (length == 0) {
          const std::size_t end = buffer_.find("\r\n", 3);
          if (end != std::string::npos) length = end + 2;
        }
      }
      if (length > 0 && buffer_.size() >= length) {
        frames.push_back({Frame::Addressed, buffer_.substr(0, length)});
        buffer_.erase(0, length);
        continue;
      }
      if (quiet >= kBrokenAfter) {
        frames.push_back({Frame::Broken, buffer_});
        buffer_.clear();
      }
      break;
    }
    if (quiet >= kQuietGap) {
      const bool passThrough = buffer_[0] == 'B' && buffer_.size() >= 2;
      frames.push_back({passThrough ? Frame::PassThrough : Frame::Bare, buffer_});
      buffer_.clear();
    }
    break;
  }
  return frames;
}

// ---- Bus --------------------------------------------------------------------------------------

Bus::Bus(Plant& plant, BusConfig config, unsigned seed)
    : plant_(plant), config_(std::move(config)), random_(seed) {}

void Bus::note(const std::string& text) {
  if (log) log(text);
}

bool Bus::chance(double p) {
  if (p <= 0) return false;
  if (p >= 1) return true;
  return std::uniform_real_distribution<double>(0, 1)(random_) < p;
}

void Bus::receive(std::string_view bytes, double now) {
  framer_.feed(bytes, now);
}

std::string Bus::service(double now) {
  plant_.advanceTo(now);
  for (const Frame& frame : framer_.take(now)) handle(frame, now);

  std::string out;
  while (!due_.empty() && due_.begin()->first <= now) {
    note("TX " + hex(due_.begin()->second));
    out += due_.begin()->second;
    due_.erase(due_.begin());
  }
  return out;
}

std::optional<double> Bus::nextDue() const {
  std::optional<double> next;
  if (!due_.empty()) next = due_.begin()->first;
  return next;
}

void Bus::handle(const Frame& frame, double now) {
  const PlantConfig& plant = plant_.config();
  switch (frame.kind) {
    case Frame::Broken:
      note("RX " + hex(frame.bytes) + "   (unfinished frame dropped)");
      return;
    case Frame::Bare:
      note("RX " + hex(frame.bytes) + "   (label printer, no head)");
      if (printer) printer(frame.bytes);
      return;
    case Frame::PassThrough: {
      const int address = static_cast<unsigned char>(frame.bytes[1]);
      const std::string_view data = std::string_view(frame.bytes).substr(2);
      if (address == plant.printer && printer) {
        note("RX " + hex(frame.bytes) + "   (label printer)");
        printer(data);
      } else if (address == plant.display && display) {
        note("RX " + hex(frame.bytes) + "   (remote display)");
        display(data);
      } else {
        note("RX " + hex(frame.bytes) + "   (pass-through to no device)");
      }
      return;
    }
    case Frame::Addressed:
      break;
  }

  note("RX " + hex(frame.bytes));
  const int address = static_cast<unsigned char>(frame.bytes[1]);
  const auto found = config_.faults.find(address);
  const Fault fault = found == config_.faults.end() ? Fault{} : found->second;
  if (chance(fault.silent)) {
    note("device " + std::to_string(address) + " silent");
    return;
  }
  std::vector<std::string> notes;
  std::string reply = plant_.answer(frame.bytes, notes);
  for (const std::string& n : notes) note(n);
  if (reply.empty()) return;

  if (chance(fault.garble)) {
    reply[0] = '?';
    for (std::size_t i = 2; i + 2 < reply.size() && i < 10; ++i) reply[i] = '#';
    note("reply of device " + std::to_string(address) + " garbled");
  }
  if (chance(fault.shorten)) {
    // The byte before the end mark (CR LF of an indicator, ETX of the I/O box) is lost.
    const std::size_t endMark = reply.ends_with("\r\n") ? 2 : 1;
    reply.erase(reply.size() - endMark - 1, 1);
    note("reply of device " + std::to_string(address) + " one byte short");
  }
  const double lineTime = config_.byteTime * static_cast<double>(frame.bytes.size() + reply.size());
  due_.emplace(now + fault.late + lineTime, std::move(reply));
}

}  // namespace plantsim
