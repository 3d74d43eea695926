#pragma once
// The program's command line as UTF-8 text, the program's name first, as the rest of the
// program takes every path. Taken before the toolkit removes its own options.
#include <string>
#include <vector>

namespace zv {

// POSIX: argv as it is (the locale's bytes are the file names). Windows: argv is in the
// ANSI code page there, which cannot spell most Chinese folder names: the arguments are
// taken from the UTF-16 command line instead (argc and argv only as the fallback).
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace zv
