#include "app/event_folder_start.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "app/logic/command_line.h"
#include "dialogs/message_boxes.h"
#include "draw/journal_verifier.h"
#include "platform/console_output.h"
#include "platform/event_folder.h"
#include "stage/event_folder_view.h"
#include "store/sample_event.h"

namespace zv {
namespace {

std::vector<std::string> argumentsAfterProgram(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {};
  return {arguments.begin() + 1, arguments.end()};
}

}  // namespace

std::optional<int> answerInformationRequest(const std::vector<std::string>& arguments) {
  const CommandLine command = parseCommandLine(argumentsAfterProgram(arguments));
  if (command.action == CommandLine::Action::Help) {
    std::fputs(helpText().c_str(), stdout);
    return 0;
  }
  if (command.action == CommandLine::Action::Version) {
    std::fputs(versionText().c_str(), stdout);
    return 0;
  }
  // No window and no toolkit: a journal is checked on any computer, display or not.
  if (command.action == CommandLine::Action::Verify) {
    const VerifyCommandOutcome outcome = runVerifyCommand(command.verifyPath);
    writeConsoleText(outcome.text);
    return outcome.exitCode;
  }
  // Before the toolkit: without a display it would end the program first.
  if (command.action == CommandLine::Action::Error) {
    std::fprintf(stderr, "%s\n%s", command.error.c_str(), helpText().c_str());
    return 2;
  }
  return std::nullopt;
}

std::optional<std::string> openEventFolder(const std::vector<std::string>& arguments) {
  const CommandLine command = parseCommandLine(argumentsAfterProgram(arguments));
  if (command.action == CommandLine::Action::Error) {
    std::fprintf(stderr, "%s\n%s", command.error.c_str(), helpText().c_str());
    return std::nullopt;
  }
  const EventFolderFacts facts = gatherEventFolderFacts(command.eventFolder);
  const std::string sampleEvent = sampleEventDirectory(facts.executableDirectory);
  const PreparedEventFolder folder =
      prepareEventFolder(chooseEventFolder(facts), [&sampleEvent](const std::string& directory) {
        return layOutSampleEvent(directory, sampleEvent);
      });
  if (!folder.usable) {
    const std::string text = "无法创建或写入活动文件夹：\r\n" + folder.directory +
                             "\r\n\r\n设置、中奖记录和图片将无法保存。";
    QTimer::singleShot(0, QCoreApplication::instance(), [text] {
      MessageBoxes::show(text, kEventFolderTitle, MessageButtons::Ok, MessageIcon::Warning);
    });
  }
  return folder.directory;
}

}  // namespace zv
