#pragma once
// The exit confirmation, asked however the main window is closed.

class QWidget;

namespace blend {

// True when the user confirmed; the station then shuts down.
bool FINISH(QWidget* parent = nullptr);

}  // namespace blend
