#include "plant_bus.h"

namespace blend {
namespace {

// How often a waiting exchange looks at the ring. The line itself needs about a millisecond
// per byte at 9600 baud, so looking more often buys nothing.
constexpr double kPollInterval = 0.001;

}  // namespace

bool COPEN(PlantBus& bus) {
  const std::string& text = bus.context.settings.CCPORT;
  const char first = text.empty() ? '\0' : text[0];
  const std::string settings = "COM" + text.substr(0, 12);
  if (first >= '1' && first <= '9' && bus.port.open(first - '0', settings)) return true;
  bus.context.ui.message("ไม่สามารถเปิด COM.PORT ได้", "  ส่วนการอ่านค่าน้ำหนัก", MessageKind::Stop);
  return false;
}

std::string collectReply(PlantBus& bus, double idleLimit,
                         const std::function<bool(std::string_view)>& complete) {
  Clock& clock = bus.context.clock;
  std::string reply;
  double since = clock.secondsSinceMidnight();
  for (;;) {
    std::string got = bus.port.read();
    if (!got.empty()) {
      reply += got;
      since = clock.secondsSinceMidnight();
      if (complete(reply)) break;
      continue;
    }
    if (elapsedSince(clock, since) >= idleLimit) break;
    clock.sleep(kPollInterval);
  }
  bus.port.errorStatus();  // line errors are not reported; the reply check decides
  return reply;
}

}  // namespace blend
