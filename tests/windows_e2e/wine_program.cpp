#include "wine_program.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

#include "support/x_session.h"

extern char** environ;

namespace zv::e2e {

namespace {
std::string environmentOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}
}  // namespace

WineSetup wineSetupFromEnvironment() {
  return {environmentOr("ZV_WINE", "/usr/lib/wine/wine64"), environmentOr("ZV_WINEPREFIX", ""),
          environmentOr("ZV_WINDOWS_ZIP", "")};
}

std::string WineSetup::missing() const {
  if (!std::filesystem::exists(wine)) return "no Wine at " + wine;
  if (prefix.empty() || !std::filesystem::is_directory(prefix)) return "no ZV_WINEPREFIX";
  if (zip.empty() || !std::filesystem::exists(zip)) return "no ZV_WINDOWS_ZIP";
  return {};
}

WineProgram::WineProgram(const WineSetup& setup, const std::string& program,
                         const std::string& display, const std::vector<std::string>& arguments) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text(*entry);
    if (!text.starts_with("DISPLAY=") && !text.starts_with("WINEPREFIX=") &&
        !text.starts_with("WINEDEBUG=") && !text.starts_with("SDL_AUDIODRIVER="))
      environment.emplace_back(text);
  }
  environment.push_back("DISPLAY=" + display);
  environment.push_back("WINEPREFIX=" + setup.prefix);
  environment.push_back("WINEDEBUG=-all");
  environment.push_back("SDL_AUDIODRIVER=dummy");
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> words{setup.wine, program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, "/");  // the program finds its files itself
  if (posix_spawn(&pid_, setup.wine.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
    pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
}

WineProgram::~WineProgram() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool WineProgram::running() const {
  if (pid_ <= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == 0) return true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  pid_ = -1;
  return false;
}

int WineProgram::waitForExit(std::chrono::milliseconds timeout) {
  if (!waitUntil([this] { return !running(); }, timeout)) return -1;
  return status_;
}

std::string unpackPortableZip(const WineSetup& setup, const std::string& folder) {
  const std::string command = "unzip -q -o '" + setup.zip + "' -d '" + folder + "'";
  if (std::system(command.c_str()) != 0) return {};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.path().filename() == "zorvane.exe") return entry.path().string();
  }
  return {};
}

}  // namespace zv::e2e
