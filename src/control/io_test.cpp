#include "io_test.h"

#include "control/indicator_link.h"
#include "control/io_box.h"
#include "data/cp874.h"
#include "data/format.h"
#include "data/text_util.h"

namespace blend {
namespace {

const char* const kIndicatorLine = "หัวอ่านที่ ";
const char* const kIoBoxLine = "กล่องควบคุม = ";

void testBeep(Context& context) {
  context.ui.beep(500, 100);
}

}  // namespace

bool plantControlEnabled(Context& context) {
  // Texts compare by prefix in this system: "1" and anything beginning with it enable.
  if (context.settings.CUSEIO.starts_with("1")) return true;
  context.ui.message("I/O Control Section Disable !", "  I/O Control", MessageKind::Warning);
  return false;
}

std::string testPanelIdleLine(int line) {
  if (line == 9) return "การสื่อสารกับกล่องควบคุม";
  return "การสื่อสารกับหัวอ่านที่ " + std::to_string(line);
}

void IOSTART(PlantBus& bus, const std::function<void(int line, const std::string& text)>& setLine) {
  for (int line = 1; line <= 9; ++line) setLine(line, testPanelIdleLine(line));
  if (!COPEN(bus)) return;
  Context& context = bus.context;

  for (int n = 1; n <= 8; ++n) {
    std::string text = kIndicatorLine + std::to_string(n) + " = ";
    if (HP_COMM(bus, n, 1, 0, 0, 0, 0, false))
      text += cp874ToUtf8(trim(transformNumber(bus.CMACTUAL[n - 1], context.settings.CFORMAT)));
    else
      text += "ERROR";
    setLine(n, text);
    testBeep(context);
  }
  setLine(9, std::string(kIoBoxLine) + (IOCONTROL(bus, "C", 0, 0, false) ? "OK" : "ERROR"));
  testBeep(context);
  bus.port.close();
}

void IOZERO(Context& context) {
  if (!plantControlEnabled(context)) return;
  PlantBus bus(context);
  if (!COPEN(bus)) return;
  for (int n = 1; n <= 8; ++n) {
    if (indicatorAddress(context.settings, n) == 0) continue;
    if (!HP_COMM(bus, n, 7, 0, 0, 0, 0, false))
      context.ui.message(kIndicatorLine + std::to_string(n) + " = ERROR", "  ZERO FUNCTION",
                         MessageKind::Warning);
  }
  bus.port.close();
}

}  // namespace blend
