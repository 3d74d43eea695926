#pragma once
// The event folder: the program directory that holds one event's settings, tallies,
// pictures, music and journal. A copy run from a folder of its own keeps its files
// beside itself; an installed copy (whose folder it must not or cannot write) uses a
// folder of the user's own; a folder named on the command line wins over both.
#include <functional>
#include <optional>
#include <string>

namespace zv {

enum class EventFolderSource { ExecutableDirectory, CommandLine, PerUser };

// What the choice depends on, gathered by gatherEventFolderFacts() or set by a test.
struct EventFolderFacts {
  std::optional<std::string> commandLineFolder;  // as typed, maybe relative
  std::string workingDirectory;                  // resolves a relative command-line folder
  std::string executableDirectory;
  bool executableDirectoryWritable = false;  // and not a shared system directory
  std::string xdgDataHome;                   // empty when unset
  std::string home;
};

struct EventFolderChoice {
  std::string directory;  // absolute, without a trailing separator
  EventFolderSource source = EventFolderSource::ExecutableDirectory;
};

// The rule: the command-line folder; else the executable's directory when writable;
// else $XDG_DATA_HOME/zorvane, or ~/.local/share/zorvane when XDG_DATA_HOME is unset or
// not absolute (the XDG rule for an invalid value).
EventFolderChoice chooseEventFolder(const EventFolderFacts& facts);

// Directories shared by every program on the machine (/usr/..., /bin, /sbin, /): even a
// user who may write them (root) must not keep an event there.
bool isSharedSystemDirectory(const std::string& directory);

// The facts of this process: its executable, environment, user and working directory.
EventFolderFacts gatherEventFolderFacts(std::optional<std::string> commandLineFolder);

// Where an installed program finds the sample event's pictures (<prefix>/share/zorvane/
// sample-event/奖品图片/) for <prefix>/bin.
std::string sampleEventDirectory(const std::string& executableDirectory);

struct PreparedEventFolder {
  std::string directory;
  bool created = false;   // did not exist before
  bool laidOut = false;   // the sample event was copied in
  bool usable = false;    // exists and a file can be written in it
};

// Creates the chosen folder when it is missing (never the executable's directory), has
// layOut lay out a per-user folder that this call created, and checks that files can be
// written in it.
PreparedEventFolder prepareEventFolder(const EventFolderChoice& choice,
                                       const std::function<bool(const std::string&)>& layOut);

// Copies every file and folder under from into to (created when missing), keeping files
// that are already there. Returns whether everything was copied.
bool copyFolderContents(const std::string& from, const std::string& to);

// Whether a new file can be created in the directory (tried, not guessed from modes).
bool canWriteInDirectory(const std::string& directory);

}  // namespace zv
