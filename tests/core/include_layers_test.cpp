// Folders under src/ form layers: a file may include its own layer and the ones below,
// never one above. The order is written once, here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Layer {
  const char* folder;  // relative to src/; a folder's backends and logic/ share its rank
  int rank;
};

// Low to high. A new folder must be placed here before the test accepts it.
const Layer kLayers[] = {
    {"platform", 0},       // files, codec, JPEG, sound: no Qt
    {"store", 1},          // the INI files, results, journal, settings
    {"draw", 2},           // the pool, the pick, the draw cycle
    {"resources", 3},      // embedded artwork, movies and sounds
    {"platform/qt", 4},    // screens, hot key, fonts, pictures as QImage
    {"forms", 5},          // units, window descriptions, the builder
    {"layout", 6},         // what the stage is made of: its description and names
    {"host", 7},           // the effects window and movie player
    {"dialogs", 8},        // the windows opened over the stage
    {"stage", 9},          // the stage's feature modules
    {"app", 10},           // the composition root
    {"", 11},              // main.cpp
    {"resources/gen", 11}, // build-time generators, programs of their own
};

// The rank of a folder: its longest listed prefix ("platform/qt/x11" is platform/qt).
std::optional<int> rankOf(const std::string& folder) {
  std::optional<int> rank;
  std::size_t matched = 0;
  for (const Layer& layer : kLayers) {
    const std::string prefix = layer.folder;
    const bool matches = prefix.empty() ? folder.empty()
                                        : folder == prefix || folder.rfind(prefix + "/", 0) == 0;
    if (matches && (!rank || prefix.size() >= matched)) {
      rank = layer.rank;
      matched = prefix.size();
    }
  }
  return rank;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// "" when the include is allowed, else a line naming the offence.
std::string offence(const std::string& file, const std::string& included) {
  const std::string target = folderOf(included);
  if (target.empty()) return {};  // a generated header beside the file
  const auto from = rankOf(folderOf(file));
  const auto to = rankOf(target);
  if (!from) return file + ": its folder has no layer";
  if (!to) return {};  // not one of ours (a library header in quotes)
  if (*to > *from) return file + " includes " + included + ", a higher layer";
  return {};
}

TEST(IncludeLayers, AnIncludeFromALowerFolderToAHigherOneIsCaught) {
  struct Case {
    const char* file;
    const char* included;
    bool allowed;
  };
  const Case cases[] = {
      {"stage/wheel.cpp", "app/main_window.h", false},
      {"layout/stage_layout.cpp", "stage/wheel.h", false},
      {"platform/posix/files_posix.cpp", "platform/qt/screen.h", false},
      {"resources/artwork.cpp", "layout/logic/wheel_geometry.h", false},
      {"app/main_window.cpp", "stage/wheel.h", true},
      {"platform/qt/x11/hot_key_x11.cpp", "platform/qt/hot_key.h", true},
      {"platform/logic/checksum.cpp", "platform/files.h", true},
      {"resources/gen/artwork_generator.cpp", "layout/logic/wheel_geometry.h", true},
      {"main.cpp", "app/main_window.h", true},
      {"newfolder/thing.cpp", "store/ini_file.h", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(offence(c.file, c.included).empty(), c.allowed) << c.file << " -> " << c.included;
  }
}

#ifdef ZV_SOURCE_DIR
TEST(IncludeLayers, NoSourceFileIncludesAHigherLayer) {
  namespace fs = std::filesystem;
  const fs::path root = ZV_SOURCE_DIR;
  const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  std::vector<std::string> offences;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const auto extension = entry.path().extension();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    ++files;
    const std::string file = fs::relative(entry.path(), root).generic_string();
    std::ifstream in(entry.path());
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
      if (!std::regex_search(line, match, include)) continue;
      const std::string why = offence(file, match[1]);
      if (!why.empty()) offences.push_back(why);
    }
  }
  EXPECT_GT(files, 100);
  for (const auto& why : offences) ADD_FAILURE() << why;
}
#endif

}  // namespace
