#include "commands.h"

namespace blend {

Commands::Commands(Context& context)
    : context_(context), authorise_([](int, int) { return true; }) {}

void Commands::setHandler(Command command, std::function<void()> handler) {
  handlers_[command] = std::move(handler);
}

void Commands::run(Command command) {
  const Guard guard = guardOf(command);
  const bool allowed = !guard.any() || authorise_(guard.index, guard.level);
  if (allowed) {
    if (auto it = handlers_.find(command); it != handlers_.end() && it->second) it->second();
  }
  // Records made on the production screen go to the link server right after it closes, and
  // also when the user was not let in: earlier records may still wait for upload.
  if (command == Command::Production && context_.settings.CALINK == "1" && autoUpload_)
    autoUpload_();
}

}  // namespace blend
