#pragma once
// The event folder: the program directory that holds one event's settings, tallies,
// pictures, music and journal (the choice itself: logic/event_folder_choice.h).
#include <functional>
#include <optional>
#include <string>

#include "platform/logic/event_folder_choice.h"

namespace zv {

// The facts of this process: its executable, environment, user and working directory.
EventFolderFacts gatherEventFolderFacts(std::optional<std::string> commandLineFolder);

// Where an installed program finds the sample event (config.a and 奖品图片/): on Linux
// <prefix>/share/zorvane/sample-event for <prefix>/bin; on Windows beside the executable.
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
