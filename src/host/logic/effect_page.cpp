#include "host/logic/effect_page.h"

#include <charconv>
#include <cstdio>

namespace zv::page {

namespace {

constexpr std::string_view kName = "名字";
constexpr std::string_view kWidth = "宽度";
constexpr std::string_view kHeight = "高度";
constexpr std::string_view kColour = "颜色";

// One attribute per line keeps the page trivial to read back.
constexpr std::string_view kTemplate =
    "<!-- zorvane effect page -->\n"
    "<body bgcolor=\"颜色\">\n"
    "<embed src=\"名字.swf\"\n"
    " width=\"宽度\"\n"
    " height=\"高度\"\n"
    " bgcolor=\"颜色\">\n"
    "</body>\n";

// The text between `before"` and the next quote, after from.
std::optional<std::string_view> attribute(std::string_view text, std::string_view name,
                                          std::size_t from = 0) {
  const std::string key = " " + std::string(name) + "=\"";
  const std::size_t start = text.find(key, from);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t value = start + key.size();
  const std::size_t end = text.find('"', value);
  if (end == std::string_view::npos) return std::nullopt;
  return text.substr(value, end - value);
}

std::optional<int> dimension(std::optional<std::string_view> text) {
  if (!text || text->empty()) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
  if (error != std::errc() || end != text->data() + text->size() || value <= 0 || value > 65535)
    return std::nullopt;
  return value;
}

std::optional<std::uint32_t> colourValue(std::optional<std::string_view> text) {
  if (!text || text->size() != 7 || (*text)[0] != '#') return std::nullopt;
  std::uint32_t rgb = 0;
  const auto [end, error] = std::from_chars(text->data() + 1, text->data() + 7, rgb, 16);
  if (error != std::errc() || end != text->data() + 7) return std::nullopt;
  // #RRGGBB back to 0x00BBGGRR.
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

}  // namespace

std::string_view pageTemplate() { return kTemplate; }

std::string showingName(std::uint64_t windowId) { return "vexo-" + std::to_string(windowId); }
std::string pageFileName(std::uint64_t windowId) { return showingName(windowId) + ".cn"; }
std::string movieFileName(std::uint64_t windowId) { return showingName(windowId) + ".swf"; }

std::string colourText(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return text;
}

std::string replaceAll(std::string text, std::string_view what, std::string_view with) {
  if (what.empty()) return text;
  for (std::size_t at = text.find(what); at != std::string::npos;
       at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

std::string buildPage(std::uint64_t windowId, int width, int height, std::uint32_t colour) {
  std::string text(kTemplate);
  text = replaceAll(std::move(text), kName, showingName(windowId));
  text = replaceAll(std::move(text), kWidth, std::to_string(width));
  text = replaceAll(std::move(text), kHeight, std::to_string(height));
  return replaceAll(std::move(text), kColour, colourText(colour));
}

std::string temporaryDirectory(std::string cacheFolder, char separator) {
  std::string directory = replaceAll(std::move(cacheFolder), "Temporary Internet Files", "Temp");
  directory += separator;
  return directory;
}

std::optional<PageRequest> readPage(std::string_view text) {
  const std::size_t embed = text.find("<embed");
  if (embed == std::string_view::npos) return std::nullopt;
  const auto source = attribute(text, "src", embed);
  const auto width = dimension(attribute(text, "width", embed));
  const auto height = dimension(attribute(text, "height", embed));
  const auto background = colourValue(attribute(text, "bgcolor", embed));
  // A movie name is a plain file name: the page may not point out of its own directory.
  if (!source || source->empty() || source->find('/') != std::string_view::npos ||
      source->find('\\') != std::string_view::npos || *source == "." || *source == ".." || !width ||
      !height || !background) {
    return std::nullopt;
  }
  return PageRequest{std::string(*source), *width, *height, *background};
}

}  // namespace zv::page
