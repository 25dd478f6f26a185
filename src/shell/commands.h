#pragma once
// Runs what the menu and the toolbar ask for: the rights check first, then the action.
//
// Kept apart from the window so that tests run commands without one. Functions that other parts
// of the station provide are plugged in with setHandler(); a command with no handler does nothing.

#include <functional>
#include <map>

#include "data/context.h"
#include "menu_table.h"

namespace blend {

class Commands {
 public:
  // Asks whether the logged-in user holds function `index` at `level` or above; it tells the
  // user itself when it refuses.
  using Authorise = std::function<bool(int index, int level)>;

  explicit Commands(Context& context);

  void setAuthorise(Authorise authorise) { authorise_ = std::move(authorise); }
  void setHandler(Command command, std::function<void()> handler);
  // The automatic upload that follows the production screen.
  void setAutoUpload(std::function<void()> upload) { autoUpload_ = std::move(upload); }

  void run(Command command);

 private:
  Context& context_;
  Authorise authorise_;
  std::map<Command, std::function<void()>> handlers_;
  std::function<void()> autoUpload_;
};

}  // namespace blend
