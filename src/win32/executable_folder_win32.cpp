#include "platform/executable_folder.h"

#include <windows.h>

namespace hx {

std::string ExecutableFolder() {
  // A path may be longer than MAX_PATH; the call says so by filling the
  // buffer to the brim.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  // "C:\HX_RPT.exe" lies in the root "C:\", which keeps its separator.
  const bool root = slash == 2 && path[1] == ':';
  path.resize(root ? slash + 1 : slash);
  return path;
}

}  // namespace hx
