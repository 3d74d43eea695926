#pragma once
// The menu's "打开活动文件夹": the event folder in the desktop's file manager.
#include <QUrl>
#include <functional>
#include <string>

namespace zv {

// The title of every message about the event folder.
inline constexpr const char* kEventFolderTitle = "活动文件夹";

// A failure is reported with the folder's path, so the operator can still find it.
void showEventFolder(const std::string& directory);

// For tests: opens URLs in place of the desktop (nothing restores the desktop's opener).
void setUrlOpenerForTests(std::function<bool(const QUrl&)> opener);

}  // namespace zv
