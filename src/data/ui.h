#pragma once
// What the station says to the operator: message boxes, yes/no questions, beeps, wait windows.
//
// Every subsystem talks to the operator through this one interface, so the same code runs with
// real Qt dialogs in the program and with a scripted stand-in in tests. Texts are UTF-8 (the
// screen's side of the codec); callers convert CP874 data they show.

#include <memory>
#include <string>
#include <string_view>

namespace blend {

enum class MessageKind { Info, Warning, Stop };

// A wait window stays on screen until this handle is destroyed.
class WaitWindow {
 public:
  virtual ~WaitWindow() = default;
  virtual void setText(std::string_view text) = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // A modal message with one OK button.
  virtual void message(std::string_view text, std::string_view title,
                       MessageKind kind = MessageKind::Info) = 0;

  // A modal yes/no question; No is the default button, and closing the box answers No.
  virtual bool yesNo(std::string_view text, std::string_view title) = 0;

  // A tone of the given frequency (Hz) and duration (milliseconds).
  virtual void beep(int frequency = 800, int milliseconds = 100) = 0;

  // A wait window showing text, removed when the handle goes.
  virtual std::unique_ptr<WaitWindow> wait(std::string_view text) = 0;
};

}  // namespace blend
