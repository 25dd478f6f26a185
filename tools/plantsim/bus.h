#pragma once
// The line side of the simulator: cutting the byte stream into frames, handing them to the
// plant, injecting faults and timing the replies.
//
// What the station sends:
//   STX frames   to an indicator or the I/O box; their length follows from the command letter
//                (R 6, F 6, Z 5, O 13, G 26, W 6 bytes), never from a CR or LF inside, since
//                a set-point checksum may be either. An unknown letter runs to CR LF.
//   "B" frames   pass-through to the label printer or the remote display: "B", the address,
//                then data, which may hold any byte (the display line starts with STX). The
//                station pauses at least 0.1 s after each, so a quiet line ends them.
//   other bytes  printer lines sent without the pass-through head; they too end on a quiet
//                line and go to the label printer.

#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "plant.h"

namespace plantsim {

constexpr double kQuietGap = 0.05;    // s of silence that ends a pass-through frame
constexpr double kBrokenAfter = 0.5;  // s after which an unfinished frame is dropped

struct Frame {
  enum Kind { Addressed, PassThrough, Bare, Broken } kind;
  std::string bytes;
};

class Framer {
 public:
  void feed(std::string_view bytes, double now);
  // The frames complete at `now`, in order; frames that end on a quiet line come out once it
  // has been quiet long enough.
  std::vector<Frame> take(double now);
  bool pending() const { return !buffer_.empty(); }

 private:
  std::string buffer_;
  double lastByte_ = 0;
};

// Faults by bus address.
struct Fault {
  double silent = 0;   // chance that the device neither acts nor answers
  double garble = 0;   // chance that its reply comes with a wrong first byte and weight
  double shorten = 0;  // chance that its reply loses the byte before its end mark
  double late = 0;     // seconds its replies are held back
};

struct BusConfig {
  std::map<int, Fault> faults;
  // Hold each exchange back for its time on the line: seconds per byte (0 = as fast as the
  // terminal goes).
  double byteTime = 0;
};

class Bus {
 public:
  Bus(Plant& plant, BusConfig config, unsigned seed = 1);

  // Where things go: log lines (without a time stamp), label printer data, display data.
  std::function<void(const std::string&)> log;
  std::function<void(std::string_view)> printer;
  std::function<void(std::string_view)> display;

  void receive(std::string_view bytes, double now);
  // Moves the plant on, handles the frames that are complete and gives the bytes due on the
  // line by `now`.
  std::string service(double now);
  // When the next held-back reply is due, if any; the framer's pending frames also want a look
  // soon after the line goes quiet.
  std::optional<double> nextDue() const;

 private:
  void handle(const Frame& frame, double now);
  bool chance(double p);
  void note(const std::string& text);

  Plant& plant_;
  BusConfig config_;
  Framer framer_;
  std::mt19937 random_;
  std::multimap<double, std::string> due_;  // replies by due time
};

// "02 01 52" for the log.
std::string hex(std::string_view bytes);

}  // namespace plantsim
