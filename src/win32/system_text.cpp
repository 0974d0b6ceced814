#include "win32/system_text.h"

#include <windows.h>

namespace hx {

std::string LastSystemError() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = "system error " + std::to_string(code);
  if (n > 0 && text != nullptr) {
    std::string description(text, n);
    while (!description.empty() && static_cast<unsigned char>(description.back()) <= ' ')
      description.pop_back();
    out += ": " + description;
  }
  LocalFree(text);
  return out;
}

}  // namespace hx
