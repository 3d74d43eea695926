#pragma once
// Text for whoever ran the program from a console (the answer of --verify). On Windows the
// program is a windowed one with no console of its own: redirected output gets the UTF-8
// bytes, otherwise the text goes to the console of the command prompt that started it.
#include <string_view>

namespace zv {

// Writes UTF-8 text (line ends as "\n") to the standard output; false when it could not.
bool writeConsoleText(std::string_view utf8);

}  // namespace zv
