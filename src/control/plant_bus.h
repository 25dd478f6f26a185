#pragma once
// One task's hold on the plant bus: the open port and the state that the device exchanges
// update, owned by the task that talks to the plant (a mixing run, the test panel, the zero
// function, a label reprint).
//
// Every device hangs on the same line and every frame begins with the device's address, so one
// open port serves them all. A task makes a PlantBus, opens it with COPEN, exchanges frames
// (HP_COMM in indicator_link.h, IOCONTROL in io_box.h) and closes it.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "control/serial_port.h"
#include "data/context.h"

namespace blend {

struct PlantBus {
  explicit PlantBus(Context& context) : context(context) {}

  Context& context;
  SerialPort port;  // NCOMMC

  // Entry n-1: the last weight read from the indicator of hopper n, kilograms.
  std::array<double, 8> CMACTUAL{};
  // Link status of the last exchange with each device: character 1 the I/O box ("-" or "0"),
  // character n+1 indicator n ("-" or the digit n).
  std::string CLINK = "---------";
  // The I/O images as texts of "0" and "1", the highest-numbered output or input first.
  std::string POUTPUT = std::string(16, '0');
  std::string PINPUT = std::string(8, '0');

  // What an exchange with show set refreshes on screen; either may be left empty.
  std::function<void(int hopper)> showWeight;
  std::function<void()> showLink;
};

// Opens the port that CCPORT names (its first character the port number, "COM" followed by
// its first 12 characters the line settings). On failure shows "ไม่สามารถเปิด COM.PORT ได้".
bool COPEN(PlantBus& bus);

// Collects a reply the way every device exchange does: takes what the receive ring holds,
// restarts the idle time whenever bytes arrive, and stops as soon as `complete` accepts the
// bytes collected or when `idleLimit` seconds pass without a new byte. Time is the station's
// clock (so a wait that spans midnight ends early); the waits between looks at the ring are
// the clock's sleeps of one millisecond.
std::string collectReply(PlantBus& bus, double idleLimit,
                         const std::function<bool(std::string_view)>& complete);

}  // namespace blend
