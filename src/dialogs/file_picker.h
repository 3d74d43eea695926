#pragma once
// The modal file dialog. Tests script the answers instead of waiting for a person.
#include <deque>
#include <optional>
#include <string>

namespace zv {

class FilePicker {
 public:
  // The path chosen to save to, or nothing when the operator cancelled. filter is a Qt
  // name filter such as "CSV 文件 (*.csv)".
  static std::optional<std::string> saveFile(const std::string& title,
                                             const std::string& suggestedPath,
                                             const std::string& filter);

  // For tests: while scripted, no dialog is shown; queued answers are given in turn, then
  // a cancel. The suggested paths are recorded.
  static void setScripted(bool scripted);
  static void setNextAnswer(std::optional<std::string> answer);
  static const std::deque<std::string>& suggested();
  static void clearSuggested();
};

}  // namespace zv
