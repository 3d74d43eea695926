#pragma once
// The command line: an optional event folder, the two questions answered without
// starting anything (--help, --version), and --verify <journal>, also answered without.
#include <optional>
#include <string>
#include <vector>

namespace zv {

struct CommandLine {
  enum class Action { Run, Help, Version, Verify, Error };
  Action action = Action::Run;
  std::optional<std::string> eventFolder;
  std::string verifyPath;  // for Verify: the journal to check
  std::string error;  // for Error: what was wrong, in Chinese and English
};

// Reads the arguments after the program name. --help or --version anywhere before "--"
// wins over everything else; after "--" every argument is a folder name. The toolkit's
// own options (-platform xcb, -style=fusion, ...) are passed over, as the toolkit takes
// them itself.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The texts printed for --help and --version, in Chinese and English.
std::string helpText();
std::string versionText();

}  // namespace zv
