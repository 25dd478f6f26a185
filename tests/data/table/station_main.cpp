// A station in its own process, for the tests that need several stations on one table.
//
//   table_station hold  DIR MILLISECONDS    open JOBS exclusively, say "ready", hold, exit
//   table_station work  DIR STATION APPENDS UPDATES
//                                           append APPENDS job records and add 1 to the
//                                           counter record UPDATES times, interleaved
//   table_station churn DIR STATION         the same for ever, saying the count of appends
//
// JOBS has CODE C(12) (the index key), STATION N(3), SEQ N(7), TOTAL N(9). The counter record
// has the code "#COUNTER". Exit code 0 when every operation succeeded.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "data/clock.h"
#include "data/context.h"
#include "data/settings.h"
#include "data/table/access.h"
#include "data/table/numbering.h"
#include "test_keys.h"

namespace {

using namespace blend;

class StationErrors : public ErrorHandler {
 public:
  bool failed = false;

 protected:
  ErrorAnswer handle(const ErrorRecord& error) override {
    std::fprintf(stderr, "station error: %s\n", ERRORMESSAGE(error).c_str());
    failed = true;
    return ErrorAnswer::giveUp();
  }
};

class StationUi : public Ui {
 public:
  bool failed = false;
  void message(std::string_view text, std::string_view, MessageKind) override {
    std::fprintf(stderr, "station message: %.*s\n", static_cast<int>(text.size()), text.data());
    failed = true;
  }
  bool yesNo(std::string_view, std::string_view) override { return false; }
  void beep(int, int) override {}
  std::unique_ptr<WaitWindow> wait(std::string_view) override { return nullptr; }
};

void say(const std::string& line) {
  const std::string text = line + "\n";
  (void)!::write(1, text.data(), text.size());
}

std::string code(int station, int seq) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%06d-%02d", seq, station);
  return buffer;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  std::string dir = argv[2];
  if (dir.back() != '/') dir += '/';

  Settings settings;
  StationUi ui;
  SystemClock clock;
  StationErrors errors;
  Context ctx{settings, ui, clock, errors};
  Workspace ws(errors, test::fieldJoinKeys());

  if (mode == "hold") {
    if (argc < 4 || !NET_USE(ctx, ws, dir + "JOBS", true, 5)) return 1;
    say("ready");
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[3])));
    return 0;
  }

  if (mode == "number") {  // STATION COUNT: takes COUNT document numbers, one per line to a file
    if (argc < 5) return 2;
    settings.CDRV1 = dir;
    std::FILE* out = std::fopen((dir + "numbers-" + argv[3] + ".txt").c_str(), "w");
    if (!out) return 1;
    for (int i = 0, n = std::atoi(argv[4]); i < n; ++i)
      std::fprintf(out, "%s\n", CONSEC(ctx, ws, 'W', 0).c_str());
    std::fclose(out);
    return 0;
  }

  if (argc < 4 || !OPEN(ctx, ws, dir, "JOBS", "CODE", false, "JOBS", "JOBS")) return 1;
  Table& jobs = *ws.current();
  const int station = std::atoi(argv[3]);
  const bool forever = mode == "churn";
  const int appends = forever ? 0 : std::atoi(argv[4]);
  const int updates = forever ? 0 : std::atoi(argv[5]);

  for (int i = 1; forever || i <= appends || i <= updates; ++i) {
    if (forever || i <= appends) {
      if (!ADD_REC(ctx, ws, 0) || !REC_LOCK(ctx, ws, 0)) return 1;
      jobs.setField("CODE", Value(code(station, i)));
      jobs.setField("STATION", Value(station));
      jobs.setField("SEQ", Value(i));
      ws.commitAll();
      ws.unlockAll();
      if (forever) say(std::to_string(i));
    }
    if (forever || i <= updates) {
      // The update protocol: find, lock (which reads the record afresh), assign, commit, unlock.
      if (!jobs.seek("#COUNTER") || !REC_LOCK(ctx, ws, 0)) return 1;
      jobs.setField("TOTAL", Value(jobs.field("TOTAL").number() + 1));
      ws.commitAll();
      ws.unlockAll();
    }
  }
  ws.closeAll();
  return errors.failed || ui.failed ? 1 : 0;
}
