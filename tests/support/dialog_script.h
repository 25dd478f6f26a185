#pragma once
// A dialog driver for tests: each dialog that opens takes the next scripted step, which acts on
// it by control name the way a person would. A dialog nobody scripted fails the test and is
// cancelled; steps left over at the end fail it too. Installed for the lifetime of the object.

#include <QString>
#include <deque>
#include <functional>

#include "ui/dialog.h"

namespace blend::test {

class DialogScript : public DialogDriver {
 public:
  DialogScript();
  ~DialogScript() override;

  // The next dialog to open has this title; `act` drives it.
  DialogScript& then(QString title, std::function<void(Dialog&)> act);

  void drive(Dialog& dialog) override;

  int opened = 0;  // dialogs driven so far

 private:
  std::deque<std::pair<QString, std::function<void(Dialog&)>>> steps_;
  DialogDriver* previous_;
};

}  // namespace blend::test
