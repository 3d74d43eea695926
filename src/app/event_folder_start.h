#pragma once
// The event folder at start-up and from the menu: the command line, the folder rule,
// the first layout of a per-user folder, and the report of a folder that cannot be used.
#include <QUrl>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zv {

// Before the application exists: prints the answer to --help or --version, or a bad
// command line with the usage text, and gives the exit status; nothing when the program
// should start. arguments: the program's (programArguments), its name first.
std::optional<int> answerInformationRequest(const std::vector<std::string>& arguments);

// After the application has taken its own arguments: the program directory for this
// start. A folder that cannot be created or written is reported in a message box once
// the event loop runs (the stage shows regardless). A bad command line is printed and
// gives nothing.
std::optional<std::string> openEventFolder(const std::vector<std::string>& arguments);

// The menu's "打开活动文件夹": the folder in the desktop's file manager; a failure is
// reported with the folder's path, so the operator can still find it.
void showEventFolder(const std::string& directory);

// For tests: opens URLs in place of the desktop (nothing restores the desktop's opener).
void setUrlOpenerForTests(std::function<bool(const QUrl&)> opener);

}  // namespace zv
