// plantsim: the blending plant's serial bus on a pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bus.h"
#include "options.h"
#include "plant.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) {
  gStop = 1;
}

std::string timeOfDay() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      now - std::chrono::system_clock::from_time_t(t))
                      .count();
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                static_cast<int>(ms));
  return text;
}

int fail(const std::string& message) {
  std::cerr << "plantsim: " << message << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace plantsim;
  auto parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "plantsim: " << *error << "\n(plantsim --help lists the options)\n";
    return 2;
  }
  Options options = std::get<Options>(std::move(parsed));
  if (options.help) {
    std::cout << usage();
    return 0;
  }
  blend::Settings settings = defaultSettings();
  if (options.ini) {
    auto read = readSettings(*options.ini);
    if (!read) return fail("cannot read " + *options.ini);
    settings = *read;
  }
  applySettings(options, settings);

  // The terminal. plantsim keeps its own descriptor of the station's side open, so the line
  // stays up while no station has it open and the station's settings need not be ours.
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
    return fail(std::string("no pseudo-terminal: ") + std::strerror(errno));
  const char* name = ptsname(master);
  if (!name) return fail("no pseudo-terminal name");
  const std::string device = name;
  const int slave = open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) return fail("cannot open " + device + ": " + std::strerror(errno));
  termios tio{};
  tcgetattr(slave, &tio);
  cfmakeraw(&tio);  // no echo and no line-end translation until the station sets its own
  tcsetattr(slave, TCSANOW, &tio);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  if (options.link) {
    std::error_code ec;
    const std::filesystem::path link = *options.link;
    if (std::filesystem::is_symlink(link, ec)) std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(device, link, ec);
    if (ec) return fail("cannot make the link " + link.string() + ": " + ec.message());
  }

  std::ofstream log;
  if (options.log) {
    log.open(*options.log, std::ios::app);
    if (!log) return fail("cannot write " + *options.log);
  }
  // The device files are made when their device first receives something.
  std::ofstream printer, display;
  const auto append = [](std::ofstream& file, const std::string& path, std::string_view data) {
    if (!file.is_open()) file.open(path, std::ios::app | std::ios::binary);
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    file.flush();
  };

  struct sigaction action {};
  action.sa_handler = onSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  Plant plant(options.plant, options.seed);
  Bus bus(plant, options.bus, options.seed + 1);
  if (log.is_open())
    bus.log = [&log](const std::string& line) { log << timeOfDay() << ' ' << line << std::endl; };
  bus.printer = [&](std::string_view data) { append(printer, options.printer, data); };
  bus.display = [&](std::string_view data) { append(display, options.display, data); };

  std::cout << device << std::endl;
  std::cerr << "plantsim: indicators at";
  for (int bin = 0; bin < 8; ++bin) std::cerr << ' ' << options.plant.indicator[bin];
  std::cerr << ", I/O box " << options.plant.ioBox << ", label printer " << options.plant.printer
            << ", display " << options.plant.display << ", " << options.plant.countsPerKg
            << " counts/kg" << std::endl;

  const auto start = std::chrono::steady_clock::now();
  const auto clock = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  char buffer[4096];
  while (!gStop) {
    // Look at least every 20 ms: the model moves on and a pass-through frame ends on a quiet
    // line; sooner when a held-back reply falls due.
    int timeout = 20;
    if (const auto due = bus.nextDue())
      timeout = std::clamp(static_cast<int>((*due - clock()) * 1000) + 1, 0, 20);
    pollfd fd{master, POLLIN, 0};
    const int ready = poll(&fd, 1, timeout);
    if (ready < 0 && errno != EINTR) return fail(std::string("poll: ") + std::strerror(errno));
    if (ready > 0 && (fd.revents & POLLIN)) {
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0) bus.receive(std::string_view(buffer, static_cast<std::size_t>(n)), clock());
    }
    const std::string out = bus.service(clock());
    if (!out.empty() && write(master, out.data(), out.size()) < 0 && log.is_open())
      log << timeOfDay() << " reply lost: " << std::strerror(errno) << std::endl;
  }

  if (options.link) {
    std::error_code ec;
    std::filesystem::remove(*options.link, ec);
  }
  close(slave);
  close(master);
  return 0;
}
