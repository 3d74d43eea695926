#include "dialogs/file_picker.h"

#include <QFileDialog>

namespace zv {

namespace {

struct Script {
  bool scripted = false;
  std::deque<std::optional<std::string>> answers;
  std::deque<std::string> suggested;
};

Script& script() {
  static Script s;
  return s;
}

}  // namespace

std::optional<std::string> FilePicker::saveFile(const std::string& title,
                                                const std::string& suggestedPath,
                                                const std::string& filter) {
  Script& s = script();
  s.suggested.push_back(suggestedPath);
  if (s.scripted) {
    if (s.answers.empty()) return std::nullopt;
    auto answer = s.answers.front();
    s.answers.pop_front();
    return answer;
  }
  const QString chosen = QFileDialog::getSaveFileName(nullptr, QString::fromStdString(title),
                                                      QString::fromStdString(suggestedPath),
                                                      QString::fromStdString(filter));
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

void FilePicker::setScripted(bool scripted) { script().scripted = scripted; }
void FilePicker::setNextAnswer(std::optional<std::string> answer) {
  script().answers.push_back(std::move(answer));
}
const std::deque<std::string>& FilePicker::suggested() { return script().suggested; }
void FilePicker::clearSuggested() { script().suggested.clear(); }

}  // namespace zv
