#include "dialogs/message_boxes.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "dialogs/title_room.h"
#include "platform/files.h"
#include "platform/qt/fonts.h"
#include "platform/qt/window_owner.h"

namespace zv {

namespace {

struct Script {
  bool scripted = false;
  std::deque<MessageAnswer> answers;
  std::vector<MessageRequest> shown;
};

Script& script() {
  static Script s;
  return s;
}

// Line breaks are written CR LF, as the texts have always been; Qt breaks at LF.
QString displayText(const std::string& text) {
  return QString::fromStdString(text).replace("\r\n", "\n");
}

}  // namespace

MessageAnswer MessageBoxes::show(const std::string& text, const std::string& title,
                                 MessageButtons buttons, MessageIcon icon) {
  Script& s = script();
  s.shown.push_back({text, title, buttons, icon});
  if (s.scripted) {
    if (s.answers.empty()) return MessageAnswer::Ok;
    const MessageAnswer answer = s.answers.front();
    s.answers.pop_front();
    return answer;
  }
  useDialogFace();  // a box shown before the stage is built
  const QMessageBox::Icon boxIcon = icon == MessageIcon::Information ? QMessageBox::Information
                                    : icon == MessageIcon::Warning   ? QMessageBox::Warning
                                    : icon == MessageIcon::Question  ? QMessageBox::Question
                                                                     : QMessageBox::NoIcon;
  const bool withCancel = buttons != MessageButtons::Ok;
  QMessageBox box(boxIcon, QString::fromStdString(title), displayText(text),
                  withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.button(QMessageBox::Ok)->setText("确定");
  if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) cancel->setText("取消");
  // The default button also takes the focus, so Enter and Space both answer with it.
  box.setDefaultButton(buttons == MessageButtons::OkCancelDefaultCancel ? QMessageBox::Cancel
                                                                        : QMessageBox::Ok);
  box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
  keepTitleWhole(box);
  keepAboveOwner(box);
  return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

bool MessageBoxes::confirm(const std::string& text, const std::string& title) {
  return show(text, title, MessageButtons::OkCancelDefaultCancel, MessageIcon::Question) ==
         MessageAnswer::Ok;
}

void MessageBoxes::reportWriteFailure(const std::string& path) {
  // A file that is not a regular one has been reported as such, once.
  if (reportedAsUnusable(path)) return;
  show("无法写入文件 " + path + "，刚才的更改没有保存！", kDefaultTitle, MessageButtons::Ok,
       MessageIcon::Warning);
}

void MessageBoxes::setScripted(bool scripted) { script().scripted = scripted; }
void MessageBoxes::setNextAnswer(MessageAnswer answer) { script().answers.push_back(answer); }
const std::vector<MessageRequest>& MessageBoxes::shown() { return script().shown; }
void MessageBoxes::clearShown() { script().shown.clear(); }

}  // namespace zv
