#include "keyboard_state.h"

#include <QGuiApplication>

#ifdef BLEND_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace blend {

KeyboardState keyboardState() {
  KeyboardState state;
#ifdef BLEND_HAVE_X11
  if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr) {
    unsigned int leds = 0;
    if (Display* display = x11->display();
        display && XkbGetIndicatorState(display, XkbUseCoreKbd, &leds) == Success) {
      state.caps = leds & 0x01;
      state.num = leds & 0x02;
      state.scroll = leds & 0x04;
      state.known = true;
    }
  }
#endif
  return state;
}

}  // namespace blend
