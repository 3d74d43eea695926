#pragma once
// The modal text-input box. Tests script the answers instead of waiting for a person.
#include <deque>
#include <optional>
#include <string>

namespace zv {

class InputBoxes {
 public:
  // The entered text, or nothing when the operator cancelled.
  static std::optional<std::string> ask(const std::string& prompt, const std::string& title,
                                        const std::string& initial);

  // For tests: while scripted, no box is shown; queued answers are given in turn, then a
  // cancel. The prompts asked and the texts offered with them are recorded.
  static void setScripted(bool scripted);
  static void setNextAnswer(std::optional<std::string> answer);
  static const std::deque<std::string>& asked();
  static const std::deque<std::string>& offered();
  static void clearAsked();
};

}  // namespace zv
