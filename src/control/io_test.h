#pragma once
// The two service functions over the plant bus outside a mixing run: the test panel, which
// checks the line to every indicator and to the I/O box, and the zero function of the
// production screen. Both need plant control enabled (CUSEIO "1").

#include <functional>
#include <string>

#include "control/plant_bus.h"

class QWidget;

namespace blend {

// True when CUSEIO allows plant control; otherwise shows "I/O Control Section Disable !".
bool plantControlEnabled(Context& context);

// The test panel's nine status lines before a test (UTF-8): lines 1 to 8 the indicators,
// line 9 the I/O box.
std::string testPanelIdleLine(int line);

// One test (the panel's start button): resets the nine lines, opens the port (its message on
// failure), clears the set points of indicators 1 to 8 in turn and switches every output of the
// I/O box off, reporting each device's line at once, with a short beep after each, then closes
// the port. `setLine(line, text)` shows a line (UTF-8).
void IOSTART(PlantBus& bus, const std::function<void(int line, const std::string& text)>& setLine);

// The test panel dialog (main window toolbar and menu).
void IOTEST(Context& context, QWidget* parent = nullptr);

// Zeroes every indicator; one message per indicator that does not answer.
void IOZERO(Context& context);

}  // namespace blend
