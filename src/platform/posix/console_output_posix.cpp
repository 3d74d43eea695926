#include <cstdio>

#include "platform/console_output.h"

namespace zv {

bool writeConsoleText(std::string_view utf8) {
  const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size();
  return std::fflush(stdout) == 0 && written;
}

}  // namespace zv
