#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/console_output.h"
#include "platform/windows/utf16.h"

namespace zv {
namespace {

bool writeAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool writeWide(HANDLE console, std::string_view utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '\n') text += '\r';
    text += c;
  }
  const std::wstring wide = utf16::fromUtf8(text);
  std::wstring_view rest = wide;
  while (!rest.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 8192));
    if (!WriteConsoleW(console, rest.data(), chunk, &written, nullptr) || written == 0)
      return false;
    rest.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool writeConsoleText(std::string_view utf8) {
  // Redirected to a file or a pipe (`> out.txt`, `| more`): the bytes as they are.
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN) {
    if (!GetConsoleMode(out, &mode)) return writeAll(out, utf8);
    return writeWide(out, utf8);
  }
  // A windowed program started from a command prompt has no console: it borrows the
  // prompt's, and writes UTF-16 so that Chinese shows whatever the prompt's code page.
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return false;
  const HANDLE console =
      CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return false;
  const bool ok = writeWide(console, utf8);
  CloseHandle(console);
  return ok;
}

}  // namespace zv
