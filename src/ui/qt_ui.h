#pragma once
// The operator-facing Ui on real Qt message boxes and windows.

#include "data/ui.h"

namespace blend {

class QtUi : public Ui {
 public:
  void message(std::string_view text, std::string_view title, MessageKind kind) override;
  bool yesNo(std::string_view text, std::string_view title) override;
  void beep(int frequency, int milliseconds) override;
  std::unique_ptr<WaitWindow> wait(std::string_view text) override;
};

}  // namespace blend
