#include "platform/executable_folder.h"

#include <windows.h>

#include "win32/wide_text.h"

// FileNameArgument lies in win32/file_name_argument_win32.cpp: what asks
// only for the folder (the vendor host) does without shell32.dll, which a
// process pays for at its start.

namespace hx {

std::string ExecutableFolder() {
  // A path may be longer than MAX_PATH; the call says so by filling the
  // buffer to the brim.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  // "C:\HX_RPT.exe" lies in the root "C:\", which keeps its separator.
  const bool root = slash == 2 && path[1] == L':';
  path.resize(root ? slash + 1 : slash);
  // In UTF-8, as the program names files on Windows (platform/file_system.h): a
  // folder of any name leads to the definition file, whatever the system's
  // code page.
  return Utf8(path);
}

}  // namespace hx
