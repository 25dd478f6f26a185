#pragma once
// The lock keys' state, for the status bar.

namespace blend {

struct KeyboardState {
  bool caps = false;
  bool num = false;
  bool scroll = false;
  bool known = false;  // false where the platform does not tell
};

KeyboardState keyboardState();

}  // namespace blend
