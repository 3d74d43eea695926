// Writes the demo folder's config.a with the same code that lays out a new per-user
// event folder.
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "store/sample_event.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sample_settings_generator <config.a>\n");
    return 2;
  }
  const std::string path = argv[1];
  const auto slash = path.find_last_of('/');
  if (slash != std::string::npos) zv::makeDirectories(path.substr(0, slash));
  if (zv::pathExists(path) && !zv::deleteFile(path)) return 1;
  if (!zv::writeSampleSettings(path)) {
    std::fprintf(stderr, "sample_settings_generator: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
