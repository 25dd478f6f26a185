#pragma once
// What the plant-bus tests stand on: a station's state with the default settings, the far end
// of a pseudo-terminal that a test plays itself, and plantsim run as a real program.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "data/context.h"
#include "data/settings.h"
#include "support/scripted_errors.h"
#include "support/scripted_ui.h"

extern char** environ;

namespace blend::test {

// The settings a new installation starts with.
inline Settings defaultSettings() {
  Settings s;
  for (const SettingsKey& key : settingsKeys()) {
    if (const auto* field = std::get_if<std::string Settings::*>(&key.member))
      s.*(*field) = defaultText(key);
  }
  return s;
}

// A station's state on the real clock: the line's idle limits are real time.
struct Station {
  Settings settings = defaultSettings();
  ScriptedUi ui;
  SystemClock clock;
  ScriptedErrors errors;
  Context context{settings, ui, clock, errors};
};

inline std::string hexBytes(std::string_view bytes) {
  std::string out;
  char text[4];
  for (char c : bytes) {
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(c));
    out += out.empty() ? "" : " ";
    out += text;
  }
  return out;
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The device end of a line: the station opens `path`; the test reads what it sends from the
// other side and writes replies there. Its own descriptor of the station's side keeps the line
// up and raw whatever the station does.
class PtyPeer {
 public:
  PtyPeer() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    path = ptsname(master_);
    slave_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
  }
  ~PtyPeer() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  void send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(master_, bytes.data(), bytes.size());
      if (n <= 0) {
        ADD_FAILURE() << "cannot write to the line";
        return;
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  // Exactly n bytes from the station, or fewer when they do not come within `timeout` seconds.
  std::string receive(std::size_t n, double timeout = 20) {
    std::string got;
    const auto start = std::chrono::steady_clock::now();
    while (got.size() < n) {
      const int left = static_cast<int>((timeout - secondsSince(start)) * 1000);
      if (left <= 0) break;
      pollfd fd{master_, POLLIN, 0};
      if (poll(&fd, 1, left) <= 0) continue;
      char buffer[256];
      const ssize_t r = ::read(master_, buffer, std::min(sizeof buffer, n - got.size()));
      if (r > 0) got.append(buffer, static_cast<std::size_t>(r));
    }
    return got;
  }

  // The station side's line settings, as the station left them.
  termios settings() const {
    termios tio{};
    tcgetattr(slave_, &tio);
    return tio;
  }

  std::string path;

 private:
  int master_ = -1;
  int slave_ = -1;
};

// plantsim as a program: started with the given options, its terminal read from the first line
// it prints, stopped with SIGTERM at the end.
class PlantSimProcess {
 public:
  explicit PlantSimProcess(std::vector<std::string> args) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    std::vector<std::string> all{PLANTSIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    if (posix_spawn(&pid_, PLANTSIM_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    // The first line is the device; allow a loaded machine plenty of time to get there.
    const auto start = std::chrono::steady_clock::now();
    char c;
    while (pid_ > 0 && secondsSince(start) < 30) {
      pollfd fd{out[0], POLLIN, 0};
      if (poll(&fd, 1, 1000) <= 0) continue;
      if (::read(out[0], &c, 1) != 1 || c == '\n') break;
      device += c;
    }
    ::close(out[0]);
    if (device.empty()) ADD_FAILURE() << "plantsim did not start";
  }
  ~PlantSimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  PlantSimProcess(const PlantSimProcess&) = delete;
  PlantSimProcess& operator=(const PlantSimProcess&) = delete;

  std::string device;

 private:
  pid_t pid_ = -1;
};

}  // namespace blend::test
