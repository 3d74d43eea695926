#include "dialogs/input_boxes.h"

#include <QInputDialog>

#include "dialogs/title_room.h"
#include "platform/qt/window_owner.h"

namespace zv {

namespace {

struct Script {
  bool scripted = false;
  std::deque<std::optional<std::string>> answers;
  std::deque<std::string> asked;
  std::deque<std::string> offered;
};

Script& script() {
  static Script s;
  return s;
}

}  // namespace

std::optional<std::string> InputBoxes::ask(const std::string& prompt, const std::string& title,
                                           const std::string& initial) {
  Script& s = script();
  s.asked.push_back(prompt);
  s.offered.push_back(initial);
  if (s.scripted) {
    if (s.answers.empty()) return std::nullopt;
    auto answer = s.answers.front();
    s.answers.pop_front();
    return answer;
  }
  QInputDialog box;
  box.setWindowTitle(QString::fromStdString(title));
  box.setLabelText(QString::fromStdString(prompt));
  box.setTextValue(QString::fromStdString(initial));
  box.setTextEchoMode(QLineEdit::Normal);
  box.setOkButtonText("确定");
  box.setCancelButtonText("取消");
  box.setWindowModality(Qt::ApplicationModal);
  keepTitleWhole(box);
  keepAboveOwner(box);
  if (box.exec() != QDialog::Accepted) return std::nullopt;
  return box.textValue().toStdString();
}

void InputBoxes::setScripted(bool scripted) { script().scripted = scripted; }
void InputBoxes::setNextAnswer(std::optional<std::string> answer) {
  script().answers.push_back(std::move(answer));
}
const std::deque<std::string>& InputBoxes::asked() { return script().asked; }
const std::deque<std::string>& InputBoxes::offered() { return script().offered; }
void InputBoxes::clearAsked() {
  script().asked.clear();
  script().offered.clear();
}

}  // namespace zv
