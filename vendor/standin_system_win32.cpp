#include <windows.h>

#include <cstdlib>

#include "comm/vendor_abi.h"
#include "standin_system.h"

namespace standin {

const char kSeparator = '\\';

std::string ExecutableFolder() {
  char path[32768];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return ".";
  std::string folder(path, n);
  const size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? "." : folder.substr(0, slash);
}

// A helper started as libraries start them: inheriting the handles, and
// the standard ones among them.
void StartHelper(int seconds) {
  wchar_t system[MAX_PATH];
  HMODULE self = nullptr;
  wchar_t library[32768];
  if (GetSystemDirectoryW(system, MAX_PATH) == 0 ||
      !GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&StartHelper), &self) ||
      GetModuleFileNameW(self, library, 32768) == 0)
    return;
  const std::wstring program = std::wstring(system) + L"\\rundll32.exe";
  std::wstring line =
      L"\"" + program + L"\" \"" + library + L"\",LumoComHelper " + std::to_wstring(seconds);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
}

}  // namespace standin

// The helper runs this through rundll32, which every Windows has.
extern "C" HX_VENDOR_EXPORT void CALLBACK LumoComHelper(HWND, HINSTANCE, LPSTR seconds, int) {
  for (int i = std::atoi(seconds); i > 0; --i) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), standin::kHelperLine,
              sizeof standin::kHelperLine - 1, &written, nullptr);
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), standin::kHelperLine, sizeof standin::kHelperLine - 1,
              &written, nullptr);
    Sleep(1000);
  }
}
