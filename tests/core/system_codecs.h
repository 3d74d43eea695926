#pragma once
// What the system's own codecs offer, for tests of the text codec (posix/ and windows/).

namespace zv {

// Whether the system converts GB18030 (glibc always; Windows 10 and later, not Wine 8).
bool systemHasGb18030();

}  // namespace zv
