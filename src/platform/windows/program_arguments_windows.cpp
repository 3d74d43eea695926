#include <windows.h>
#include <shellapi.h>

#include "platform/program_arguments.h"
#include "platform/windows/utf16.h"

namespace zv {

std::vector<std::string> programArguments(int argc, char** argv) {
  int count = 0;
  // The same splitting rules that gave the C runtime its argv.
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) arguments.push_back(utf16::toUtf8(wide[i]));
    LocalFree(wide);
    if (!arguments.empty()) return arguments;
  }
  std::vector<std::string> arguments;
  for (int i = 0; i < argc && argv && argv[i]; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

}  // namespace zv
