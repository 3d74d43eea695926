#include "app/unusable_file_reports.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "dialogs/message_boxes.h"
#include "platform/files.h"

namespace zv {

std::string unusableFileText(const std::string& path) {
  return "文件 " + path +
         " 不是普通文件（可能是管道、设备、文件夹或指向别处的链接），程序不读写它。\r\n"
         "抽奖照常进行。";
}

void reportUnusableFilesToTheOperator() {
  setUnusableFileListener([](const std::string& path) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return;
    QMetaObject::invokeMethod(
        application,
        [path] {
          MessageBoxes::show(unusableFileText(path), MessageBoxes::kDefaultTitle,
                             MessageButtons::Ok, MessageIcon::Warning);
        },
        Qt::QueuedConnection);
  });
}

}  // namespace zv
