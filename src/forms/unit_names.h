#pragma once
// Numbered unit names as the layouts write them: "图片框1", "编辑框3".
#include <string>

namespace zv::forms {

inline std::string pictureBoxName(int number) { return "图片框" + std::to_string(number); }
inline std::string editBoxName(int number) { return "编辑框" + std::to_string(number); }

}  // namespace zv::forms
