#include "dialogs/file_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include "dialogs/file_dialog_look.h"
#include "platform/qt/window_owner.h"

namespace zv {

namespace {

struct Script {
  bool scripted = false;
  std::deque<std::optional<std::string>> answers;
  std::deque<std::string> suggested;
  std::deque<std::vector<std::string>> offeredFilters;
  QString lastFolder;  // where the operator last chose a file, this session
};

Script& script() {
  static Script s;
  return s;
}

std::optional<std::string> nextScriptedAnswer(Script& s) {
  if (s.answers.empty()) return std::nullopt;
  auto answer = s.answers.front();
  s.answers.pop_front();
  return answer;
}

}  // namespace

std::optional<std::string> FilePicker::openFile(const std::string& title,
                                                const std::vector<std::string>& filters) {
  Script& s = script();
  s.offeredFilters.push_back(filters);
  if (s.scripted) return nextScriptedAnswer(s);

  QStringList nameFilters;
  for (const std::string& filter : filters) nameFilters << QString::fromStdString(filter);
  QFileDialog dialog;
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dressFileDialog(dialog, "打开");
  // The hidden patterns let "图形文件(*.jpg)" also list camera files.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(nameFilters);
  dialog.setWindowModality(Qt::ApplicationModal);
  keepAboveOwner(dialog);
  // Where the operator's photos usually are, then where they last found one; the
  // program's own working folder means nothing to them.
  QString folder = s.lastFolder;
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  }
  dialog.setDirectory(folder);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  s.lastFolder = QFileInfo(chosen.front()).absolutePath();
  return chosen.front().toStdString();
}

std::optional<std::string> FilePicker::saveFile(const std::string& title,
                                                const std::string& suggestedPath,
                                                const std::string& filter) {
  Script& s = script();
  s.suggested.push_back(suggestedPath);
  if (s.scripted) return nextScriptedAnswer(s);
  QFileDialog dialog;
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dressFileDialog(dialog, "保存");
  dialog.setNameFilter(QString::fromStdString(filter));
  dialog.setWindowModality(Qt::ApplicationModal);
  keepAboveOwner(dialog);
  const QFileInfo suggested(QString::fromStdString(suggestedPath));
  dialog.setDirectory(suggested.absolutePath());
  dialog.selectFile(suggested.fileName());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return chosen.front().toStdString();
}

void FilePicker::setScripted(bool scripted) { script().scripted = scripted; }
void FilePicker::setNextAnswer(std::optional<std::string> answer) {
  script().answers.push_back(std::move(answer));
}
const std::deque<std::string>& FilePicker::suggested() { return script().suggested; }
void FilePicker::clearSuggested() { script().suggested.clear(); }
const std::deque<std::vector<std::string>>& FilePicker::offeredFilters() {
  return script().offeredFilters;
}
void FilePicker::clearOfferedFilters() { script().offeredFilters.clear(); }

}  // namespace zv
