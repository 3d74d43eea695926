#pragma once
// Which folder holds the event: the rule, apart from the system facts it is decided on.
// A copy run from a folder of its own keeps its files beside itself; an installed copy
// (whose folder it must not or cannot write) uses a folder of the user's own; a folder
// named on the command line wins over both.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

enum class EventFolderSource { ExecutableDirectory, CommandLine, PerUser };

// What the choice depends on, gathered by gatherEventFolderFacts() or set by a test.
struct EventFolderFacts {
  std::optional<std::string> commandLineFolder;  // as typed, maybe relative
  std::string workingDirectory;                  // resolves a relative command-line folder
  std::string executableDirectory;
  bool executableDirectoryWritable = false;  // and not a shared system directory
  std::string xdgDataHome;                   // Linux; empty when unset
  std::string home;                          // Linux
  std::string roamingAppData;                // Windows: the user's roaming application data
};

struct EventFolderChoice {
  std::string directory;  // absolute, without a trailing separator
  EventFolderSource source = EventFolderSource::ExecutableDirectory;
};

// The rule: the command-line folder; else the executable's directory when writable;
// else the per-user folder: <roaming application data>\zorvane on Windows; on Linux
// $XDG_DATA_HOME/zorvane, or ~/.local/share/zorvane when XDG_DATA_HOME is unset or not
// absolute (the XDG rule for an invalid value).
EventFolderChoice chooseEventFolder(const EventFolderFacts& facts);

// Directories shared by every program on a Linux machine (/usr/..., /bin, /sbin, /):
// even a user who may write them (root) must not keep an event there.
bool isSharedSystemDirectory(const std::string& directory);

// Whether a Windows path lies in folder or is it: letters compared without case, either
// separator, whole names only ("C:\Program Files Extra" is not in "C:\Program Files").
bool isInsideWindowsFolder(std::string_view path, std::string_view folder);

// The Windows side of executableDirectoryWritable: the executable's folder is the
// program's own when files can be made in it and it is in none of the system's program
// and Windows folders (an administrator may write those, but an event does not belong
// there, and a per-machine installation is shared by every user). Empty system folders
// (unknown) are skipped.
bool isOwnWindowsProgramFolder(std::string_view executableDirectory, bool writable,
                               const std::vector<std::string>& systemFolders);

}  // namespace zv
