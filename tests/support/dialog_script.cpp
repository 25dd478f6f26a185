#include "dialog_script.h"

#include <gtest/gtest.h>

namespace blend::test {

DialogScript::DialogScript() : previous_(dialogDriver()) { setDialogDriver(this); }

DialogScript::~DialogScript() {
  setDialogDriver(previous_);
  for (const auto& step : steps_)
    ADD_FAILURE() << "expected dialog never opened: " << step.first.toStdString();
}

DialogScript& DialogScript::then(QString title, std::function<void(Dialog&)> act) {
  steps_.emplace_back(std::move(title), std::move(act));
  return *this;
}

void DialogScript::drive(Dialog& dialog) {
  ++opened;
  if (steps_.empty()) {
    ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
    dialog.reject();
    return;
  }
  auto [title, act] = std::move(steps_.front());
  steps_.pop_front();
  EXPECT_EQ(title.toStdString(), dialog.windowTitle().toStdString());
  act(dialog);
}

}  // namespace blend::test
