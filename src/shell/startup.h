#pragma once
// The station's process: configuration, login, main window, shutdown.

namespace blend {

// Runs the station and answers the process's exit status.
int runStation(int argc, char** argv);

}  // namespace blend
