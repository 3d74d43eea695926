#include "app/logic/command_line.h"

#ifndef ZV_VERSION
#define ZV_VERSION "0"
#endif

#include <algorithm>
#include <string_view>

namespace zv {
namespace {

// The toolkit's own options, which it takes out of the arguments when the application is
// made; the command line is read before that too (an unknown option must be answered
// without a display), so these are passed over. -name=value needs no value after it.
constexpr std::string_view kToolkitOptionsWithValue[] = {
    "platform",      "platformpluginpath", "platformtheme", "plugin",
    "qmljsdebugger", "qwindowgeometry",    "geometry",      "qwindowicon",
    "icon",          "qwindowtitle",       "title",         "session",
    "style",         "stylesheet",         "display",       "name"};
constexpr std::string_view kToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// 0: not the toolkit's; 1: a flag or -name=value; 2: an option followed by its value.
int toolkitOptionLength(std::string_view argument) {
  argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
  const std::size_t equals = argument.find('=');
  const std::string_view name = argument.substr(0, equals);
  const auto among = [name](const auto& names) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
  };
  if (among(kToolkitOptionsWithValue)) return equals == std::string_view::npos ? 2 : 1;
  return equals == std::string_view::npos && among(kToolkitFlags) ? 1 : 0;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  bool optionsEnded = false;
  std::string problem;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool option = !optionsEnded && argument.size() > 1 && argument.front() == '-';
    const int toolkit = option && argument != "--" ? toolkitOptionLength(argument) : 0;
    if (toolkit > 0) {
      i += static_cast<std::size_t>(toolkit - 1);
    } else if (option && argument == "--") {
      optionsEnded = true;
    } else if (option && (argument == "--help" || argument == "-h")) {
      return {CommandLine::Action::Help, std::nullopt, {}, {}};
    } else if (option && (argument == "--version" || argument == "-V")) {
      return {CommandLine::Action::Version, std::nullopt, {}, {}};
    } else if (option && (argument == "--verify" || argument.starts_with("--verify="))) {
      const bool joined = argument.size() > std::string_view("--verify").size();
      if (result.action == CommandLine::Action::Verify) {
        if (problem.empty()) problem = "只能验证一个文件。\nonly one file may be verified.";
      } else if (!joined && i + 1 == arguments.size()) {
        if (problem.empty())
          problem = "--verify 后须给出抽奖记录文件。\n--verify needs the journal file.";
      } else {
        result.action = CommandLine::Action::Verify;
        result.verifyPath = joined ? argument.substr(9) : arguments[++i];
        if (result.verifyPath.empty() && problem.empty())
          problem = "--verify 后须给出抽奖记录文件。\n--verify needs the journal file.";
      }
    } else if (option) {
      if (problem.empty()) problem = "未知选项：" + argument + "\nunknown option: " + argument;
    } else if (result.eventFolder) {
      if (problem.empty()) problem = "只能给出一个活动文件夹。\nonly one event folder may be given.";
    } else {
      result.eventFolder = argument;
    }
  }
  if (problem.empty() && result.action == CommandLine::Action::Verify && result.eventFolder)
    problem = "验证时不能再给出活动文件夹。\nno event folder with --verify.";
  if (!problem.empty()) return {CommandLine::Action::Error, std::nullopt, {}, problem};
  return result;
}

std::string helpText() {
  return "用法：zorvane [活动文件夹]\n"
         "      zorvane --verify 抽奖记录.csv\n"
         "Usage: zorvane [EVENT-FOLDER]\n"
         "       zorvane --verify JOURNAL.csv\n"
         "\n"
         "抽奖转盘。活动文件夹存放一场活动的设置、中奖记录、图片和音乐。\n"
         "不给出时：程序所在文件夹可写就用它，否则用 $XDG_DATA_HOME/zorvane\n"
         "（通常是 ~/.local/share/zorvane），首次启动时创建并放入示例奖品。\n"
         "给出的文件夹不存在时会被创建，这样一台电脑可以分开保存几场活动。\n"
         "\n"
         "Prize-wheel lottery. The event folder keeps one event's settings, tallies,\n"
         "pictures and music. Without one: the program's own folder when it is writable,\n"
         "otherwise $XDG_DATA_HOME/zorvane (usually ~/.local/share/zorvane), created and\n"
         "given the sample prizes at the first start. A folder given is created when\n"
         "missing, so one PC can keep several events apart.\n"
         "\n"
         "  -h, --help     显示本帮助 / show this help\n"
         "  -V, --version  显示版本 / show the version\n"
         "  --verify 文件  验证抽奖记录的链值与可验证抽奖，结果写到标准输出；\n"
         "                全部成立时退出码 0，有不成立之处 1，文件无法读取 2\n"
         "                / check a journal's chain and verifiable draws; exit 0 when\n"
         "                everything holds, 1 when not, 2 when it cannot be read\n";
}

std::string versionText() { return std::string("zorvane ") + ZV_VERSION + "\n"; }

}  // namespace zv
