#pragma once
// Files in the event folder that are not regular files (a FIFO, a device, a directory, a
// link leading elsewhere) are refused by the file layer; this tells the operator, once per
// file per run, in a message box naming it. The draw goes on without the file.
#include <string>

namespace zv {

// The message for a refused file.
std::string unusableFileText(const std::string& path);

// From now on every refused file is reported; the box is shown from the event loop,
// whichever thread met the file, never in the middle of a roll step.
void reportUnusableFilesToTheOperator();

}  // namespace zv
