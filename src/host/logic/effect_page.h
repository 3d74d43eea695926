#pragma once
// The small page that names the movie to play, and the names of the files a showing
// writes. The movie view reads the page back, so both directions live here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv::page {

// The page template with its four placeholders: 名字 (the movie's name without ".swf"),
// 宽度 and 高度 (the size to play it at) and 颜色 (the background).
std::string_view pageTemplate();

// "vexo-" + the window id in decimal: the name both files of a showing share.
std::string showingName(std::uint64_t windowId);
std::string pageFileName(std::uint64_t windowId);   // showingName + ".cn"
std::string movieFileName(std::uint64_t windowId);  // showingName + ".swf"

// "#RRGGBB" from a 0x00BBGGRR colour (red is the lowest byte); the top byte is ignored.
std::string colourText(std::uint32_t colour);

// Every occurrence of what replaced by with, left to right, not rescanning replacements.
std::string replaceAll(std::string text, std::string_view what, std::string_view with);

// The page for a showing: the template with its placeholders filled in.
std::string buildPage(std::uint64_t windowId, int width, int height, std::uint32_t colour);

// The temporary directory made from the system's cache folder: a browser cache folder
// ("...\Temporary Internet Files") gives its sibling "Temp"; a separator is appended, so
// an empty value gives the separator alone.
std::string temporaryDirectory(std::string cacheFolder, char separator);

// What a page asks to be played.
struct PageRequest {
  std::string movieFile;  // file name, in the page's own directory
  int width = 0, height = 0;
  std::uint32_t background = 0;  // 0x00BBGGRR
};
// The request in page text, or nothing when the page does not have the template's form.
std::optional<PageRequest> readPage(std::string_view text);

}  // namespace zv::page
