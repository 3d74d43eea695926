#include "stage/event_folder_view.h"

#include <QDesktopServices>

#include "dialogs/message_boxes.h"

namespace zv {
namespace {

std::function<bool(const QUrl&)>& urlOpener() {
  static std::function<bool(const QUrl&)> opener = [](const QUrl& url) {
    return QDesktopServices::openUrl(url);
  };
  return opener;
}

}  // namespace

void showEventFolder(const std::string& directory) {
  if (urlOpener()(QUrl::fromLocalFile(QString::fromStdString(directory)))) return;
  MessageBoxes::show("无法打开活动文件夹：\r\n" + directory, kEventFolderTitle, MessageButtons::Ok,
                     MessageIcon::Warning);
}

void setUrlOpenerForTests(std::function<bool(const QUrl&)> opener) {
  urlOpener() = std::move(opener);
}

}  // namespace zv
