// One exchange on the plant bus against plantsim over a pseudo-terminal, split into the time the
// station spends waiting for bytes (the clock's sleeps between looks at the receive ring) and
// its own processing (framing, writing, reading the ring, checking the reply). The counter
// line_ms is what the same exchange needs on the real line at 9600 baud, 10 bits a byte; the
// pseudo-terminal itself has no line time, so wait_ms is plantsim's turnaround plus the
// granularity of the station's polling.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "control/indicator_link.h"
#include "control/io_box.h"
#include "data/context.h"

extern char** environ;

namespace {

using namespace blend;
using Steady = std::chrono::steady_clock;

double since(Steady::time_point start) {
  return std::chrono::duration<double>(Steady::now() - start).count();
}

class Quiet : public ErrorHandler {
 protected:
  ErrorAnswer handle(const ErrorRecord&) override { return ErrorAnswer::giveUp(); }
};

class NoUi : public Ui {
 public:
  void message(std::string_view, std::string_view, MessageKind) override {}
  bool yesNo(std::string_view, std::string_view) override { return false; }
  void beep(int, int) override {}
  std::unique_ptr<WaitWindow> wait(std::string_view) override { return nullptr; }
};

// The system clock, keeping count of the time spent in its waits.
class MeteredClock : public SystemClock {
 public:
  void sleep(double seconds) override {
    const auto start = Steady::now();
    SystemClock::sleep(seconds);
    waited += since(start);
  }
  double waited = 0;
};

Settings busSettings() {
  Settings s;
  for (const SettingsKey& key : settingsKeys())
    if (const auto* field = std::get_if<std::string Settings::*>(&key.member))
      s.*(*field) = defaultText(key);
  return s;
}

// plantsim for the whole run, its terminal as port 1.
class Plant {
 public:
  Plant() {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) std::abort();
    char* argv[] = {const_cast<char*>(PLANTSIM_PATH), const_cast<char*>("--contents"),
                    const_cast<char*>("1:123.4"), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (posix_spawn(&pid_, PLANTSIM_PATH, &actions, nullptr, argv, environ) != 0) std::abort();
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string device;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') device += c;
    close(out[0]);
    setenv("BLENDCTL_COM1", device.c_str(), 1);
  }
  ~Plant() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};

void startPlant() {
  static Plant plant;
}

template <class Exchange>
void run(benchmark::State& state, int requestBytes, int replyBytes, Exchange exchange) {
  startPlant();
  Settings settings = busSettings();
  NoUi ui;
  MeteredClock clock;
  Quiet errors;
  Context context{settings, ui, clock, errors};
  PlantBus bus(context);
  if (!COPEN(bus)) {
    state.SkipWithError("the port to plantsim does not open");
    return;
  }
  double total = 0;
  for (auto _ : state) {
    const auto start = Steady::now();
    if (!exchange(bus)) {
      state.SkipWithError("no valid reply");
      break;
    }
    total += since(start);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["wait_ms"] = 1000 * clock.waited / n;
  state.counters["station_ms"] = 1000 * (total - clock.waited) / n;
  state.counters["line_ms"] = 1000.0 * (requestBytes + replyBytes) * 10 / 9600;
}

void BM_IndicatorRead(benchmark::State& state) {
  run(state, 6, 26, [](PlantBus& bus) { return HP_COMM(bus, 1, 0, 0, 0, 0, 0, false); });
}
BENCHMARK(BM_IndicatorRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IndicatorSetPoints(benchmark::State& state) {
  run(state, 26, 26, [](PlantBus& bus) { return HP_COMM(bus, 2, 1, 0, 0, 0, 0, false); });
}
BENCHMARK(BM_IndicatorSetPoints)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IoBoxExchange(benchmark::State& state) {
  run(state, 6, 7, [](PlantBus& bus) { return IOCONTROL(bus, "R"); });
}
BENCHMARK(BM_IoBoxExchange)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
