#include "platform/event_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/files.h"

namespace zv {
namespace {

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string absolute(const std::string& path, const std::string& base) {
  std::filesystem::path p(path);
  if (p.is_relative()) p = std::filesystem::path(base) / p;
  return withoutTrailingSeparators(p.lexically_normal().string());
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

EventFolderFacts gatherEventFolderFacts(std::optional<std::string> commandLineFolder) {
  EventFolderFacts facts;
  facts.commandLineFolder = std::move(commandLineFolder);
  char cwd[PATH_MAX];
  facts.workingDirectory = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
  facts.executableDirectory = programDirectory();
  facts.executableDirectoryWritable = !isSharedSystemDirectory(facts.executableDirectory) &&
                                      ::access(facts.executableDirectory.c_str(), W_OK) == 0;
  facts.xdgDataHome = environment("XDG_DATA_HOME");
  facts.home = environment("HOME");
  if (facts.home.empty() || facts.home.front() != '/') {
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) facts.home = user->pw_dir;
  }
  return facts;
}

std::string sampleEventDirectory(const std::string& executableDirectory) {
  return absolute("../share/zorvane/sample-event", executableDirectory);
}

bool copyFolderContents(const std::string& from, const std::string& to) {
  if (!makeDirectories(to)) return false;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(from.c_str()), ::closedir);
  if (!dir) return false;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  bool ok = true;
  for (const std::string& name : names) {
    const std::string source = from + "/" + name;
    const std::string target = to + "/" + name;
    if (isDirectory(source)) {
      ok = copyFolderContents(source, target) && ok;
    } else if (!pathExists(target)) {
      ok = copyFileOverwriting(source, target) && ok;
    }
  }
  return ok;
}

bool canWriteInDirectory(const std::string& directory) {
  std::string probe = directory + "/.zorvane-write-test-XXXXXX";
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace zv
