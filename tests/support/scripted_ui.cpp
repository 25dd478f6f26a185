#include "scripted_ui.h"

#include <gtest/gtest.h>

namespace blend::test {
namespace {

class RecordingWait : public WaitWindow {
 public:
  explicit RecordingWait(std::vector<std::string>& texts) : texts_(texts) {}
  void setText(std::string_view text) override { texts_.emplace_back(text); }

 private:
  std::vector<std::string>& texts_;
};

}  // namespace

ScriptedUi::~ScriptedUi() {
  for (const Expected& e : expected_)
    ADD_FAILURE() << "expected " << (e.question ? "question" : "message") << " never came: "
                  << e.text;
}

ScriptedUi& ScriptedUi::expectMessage(std::string text, std::string title) {
  expected_.push_back({false, std::move(text), std::move(title), false});
  return *this;
}

ScriptedUi& ScriptedUi::expectYesNo(std::string text, bool answer) {
  expected_.push_back({true, std::move(text), {}, answer});
  return *this;
}

const ScriptedUi::Expected* ScriptedUi::next(bool question, std::string_view text,
                                             std::string_view title) {
  shown.push_back(std::string(title) + "|" + std::string(text));
  const char* kind = question ? "question" : "message";
  if (expected_.empty()) {
    ADD_FAILURE() << "unexpected " << kind << ": [" << title << "] " << text;
    return nullptr;
  }
  static Expected taken;
  taken = expected_.front();
  expected_.pop_front();
  EXPECT_EQ(taken.question, question) << "wrong kind of prompt: " << text;
  EXPECT_NE(std::string_view(text).find(taken.text), std::string_view::npos)
      << "expected " << kind << " containing \"" << taken.text << "\", got \"" << text << "\"";
  if (!taken.title.empty()) {
    EXPECT_EQ(taken.title, title);
  }
  return &taken;
}

void ScriptedUi::message(std::string_view text, std::string_view title, MessageKind) {
  next(false, text, title);
}

bool ScriptedUi::yesNo(std::string_view text, std::string_view title) {
  const Expected* e = next(true, text, title);
  return e && e->answer;
}

void ScriptedUi::beep(int, int) { ++beeps; }

std::unique_ptr<WaitWindow> ScriptedUi::wait(std::string_view text) {
  waitTexts.emplace_back(text);
  return std::make_unique<RecordingWait>(waitTexts);
}

}  // namespace blend::test
