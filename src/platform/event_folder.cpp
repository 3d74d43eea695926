#include "platform/event_folder.h"

#include <filesystem>

#include "platform/files.h"

namespace zv {
namespace {

bool isDirectory(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(
      std::filesystem::path(std::u8string(path.begin(), path.end())), error);
}

}  // namespace

PreparedEventFolder prepareEventFolder(const EventFolderChoice& choice,
                                       const std::function<bool(const std::string&)>& layOut) {
  PreparedEventFolder prepared;
  prepared.directory = choice.directory;
  if (choice.source != EventFolderSource::ExecutableDirectory && !pathExists(choice.directory)) {
    prepared.created = makeDirectories(choice.directory);
  }
  // Only a per-user folder that this start created is laid out: the executable's own
  // folder and a folder named on the command line are the operator's, as they are.
  if (prepared.created && choice.source == EventFolderSource::PerUser && layOut) {
    prepared.laidOut = layOut(choice.directory);
  }
  prepared.usable = isDirectory(choice.directory) && canWriteInDirectory(choice.directory);
  return prepared;
}

}  // namespace zv
