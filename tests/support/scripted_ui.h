#pragma once
// A Ui for tests: every prompt must be one the test announced, in order; questions are answered
// from the announcement. A prompt nobody expected, or an expectation left over at the end,
// fails the test.

#include <deque>
#include <string>
#include <vector>

#include "data/ui.h"

namespace blend::test {

class ScriptedUi : public Ui {
 public:
  ~ScriptedUi() override;

  // The next prompt is a message whose text contains `text`.
  ScriptedUi& expectMessage(std::string text, std::string title = {});
  // The next prompt is a yes/no question containing `text`, answered with `answer`.
  ScriptedUi& expectYesNo(std::string text, bool answer);

  void message(std::string_view text, std::string_view title, MessageKind kind) override;
  bool yesNo(std::string_view text, std::string_view title) override;
  void beep(int frequency, int milliseconds) override;
  std::unique_ptr<WaitWindow> wait(std::string_view text) override;

  int beeps = 0;
  std::vector<std::string> waitTexts;  // every text a wait window showed
  std::vector<std::string> shown;      // "title|text" of every message and question, in order

 private:
  struct Expected {
    bool question;
    std::string text, title;
    bool answer;
  };
  const Expected* next(bool question, std::string_view text, std::string_view title);
  std::deque<Expected> expected_;
};

}  // namespace blend::test
