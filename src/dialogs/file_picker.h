#pragma once
// The modal file dialog. Tests script the answers instead of waiting for a person.
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zv {

class FilePicker {
 public:
  // The path chosen to save to, or nothing when the operator cancelled. filter is a Qt
  // name filter such as "CSV 文件 (*.csv)".
  static std::optional<std::string> saveFile(const std::string& title,
                                             const std::string& suggestedPath,
                                             const std::string& filter);

  // The path of an existing file the operator chose, or nothing when they cancelled.
  // Each filter is a visible name followed by the patterns it matches in parentheses,
  // "图形文件(*.jpg) (*.jpg *.jpeg)": the name shows as written, the patterns stay
  // hidden. The first filter is the one selected.
  static std::optional<std::string> openFile(const std::string& title,
                                             const std::vector<std::string>& filters);

  // For tests: while scripted, no dialog is shown; queued answers are given in turn, then
  // a cancel. The suggested paths are recorded, and the filters each open dialog offered.
  static void setScripted(bool scripted);
  static void setNextAnswer(std::optional<std::string> answer);
  static const std::deque<std::string>& suggested();
  static void clearSuggested();
  static const std::deque<std::vector<std::string>>& offeredFilters();
  static void clearOfferedFilters();
};

}  // namespace zv
