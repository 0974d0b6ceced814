#include <windows.h>

#include <shellapi.h>

#include "platform/executable_folder.h"
#include "win32/wide_text.h"

namespace hx {

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
