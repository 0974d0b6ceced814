#include "platform/executable_folder.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace hx {

namespace {

std::string Utf8(std::wstring_view text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

}  // namespace

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
  // In UTF-8, as the program names files on Windows (base/paths.h): a
  // folder of any name leads to the definition file, whatever the system's
  // code page.
  return Utf8(path);
}

std::string FileNameArgument(char** argv, int index) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || index >= count) {
    LocalFree(arguments);
    return argv[index];
  }
  std::string name = Utf8(arguments[index]);
  LocalFree(arguments);
  return name;
}

}  // namespace hx
