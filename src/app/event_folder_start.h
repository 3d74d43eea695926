#pragma once
// The event folder at start-up: the command line, the folder rule,
// the first layout of a per-user folder, and the report of a folder that cannot be used.
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

}  // namespace zv
