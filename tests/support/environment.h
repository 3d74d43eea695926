#pragma once
// Sets or removes an environment variable for a test, on either system. On Windows the C
// runtime's call also sets the system's copy, which libraries such as SDL read.
#include <cstdlib>
#include <string>

namespace zv::testing {

inline void setEnvironment(const std::string& name, const std::string& value) {
#ifdef _WIN32
  ::_putenv_s(name.c_str(), value.c_str());
#else
  ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void unsetEnvironment(const std::string& name) {
#ifdef _WIN32
  ::_putenv_s(name.c_str(), "");  // an empty value removes it there
#else
  ::unsetenv(name.c_str());
#endif
}

}  // namespace zv::testing
