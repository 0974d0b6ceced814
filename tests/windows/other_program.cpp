// Test helper for the Windows program: another program on the site that
// holds what HX_RPT needs, as a spreadsheet, a virus scanner or a copy
// under another account would; a starter that gives HX_RPT a desktop of
// its own; and a reader of the manifest built into a program.
//
// usage: other_program.exe share-read FILE MILLIS [GROWN-PAST]
//          holds FILE open for reading, sharing it for reading only (as a
//          spreadsheet holds the file it shows), for MILLIS ms.  With
//          GROWN-PAST, first says "watching" and waits until FILE is larger
//          than that many bytes (as a scanner reads what was just written)
//        other_program.exe name NAME MILLIS
//          holds the mutex NAME for MILLIS ms
//        other_program.exe on-desktop DESKTOP COMMAND-LINE
//          runs COMMAND-LINE on a desktop of that name and ends with its
//          exit status
//        other_program.exe manifest EXE
//          prints the application manifest built into EXE
// The holding verbs say "held at SIZE" (the file's) or "held" once they
// hold, and end by themselves.  Exit status 1 when the thing could not be
// had.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

std::wstring Wide(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
  out.resize(std::wcslen(out.c_str()));
  return out;
}

int Fail(const char* what) {
  std::fprintf(stderr, "other_program: %s: system error %lu\n", what, GetLastError());
  return 1;
}

void Say(const char* text) {
  std::puts(text);
  std::fflush(stdout);
}

long long SizeOf(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int ShareRead(const char* name, DWORD millis, long long grown_past) {
  const std::wstring file = Wide(name);
  if (grown_past >= 0) {
    Say("watching");
    for (DWORD start = GetTickCount(); SizeOf(file) <= grown_past;) {
      if (GetTickCount() - start > 60000) return Fail("the file did not grow");
    }
  }
  // The writer may have the file open this very moment; it closes it
  // after every line.
  HANDLE handle = INVALID_HANDLE_VALUE;
  for (DWORD start = GetTickCount();
       (handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr)) == INVALID_HANDLE_VALUE;) {
    if (GetLastError() != ERROR_SHARING_VIOLATION || GetTickCount() - start > 60000)
      return Fail(name);
  }
  std::printf("held at %lld\n", SizeOf(file));
  std::fflush(stdout);
  Sleep(millis);
  CloseHandle(handle);
  return 0;
}

int Name(const char* name, DWORD millis) {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, Wide(name).c_str());
  if (mutex == nullptr) return Fail(name);
  Say("held");
  Sleep(millis);
  CloseHandle(mutex);
  return 0;
}

int OnDesktop(const char* desktop, const char* command_line) {
  std::wstring desktop_name = Wide(desktop);
  std::wstring command = Wide(command_line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop_name.data();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process))
    return Fail(command_line);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 1;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

int Manifest(const char* program) {
  const HMODULE module = LoadLibraryExW(Wide(program).c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return Fail(program);
  const HRSRC resource = FindResourceA(module, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  if (resource == nullptr) return Fail("no manifest");
  const HGLOBAL data = LoadResource(module, resource);
  const DWORD size = SizeofResource(module, resource);
  if (data == nullptr || size == 0) return Fail("manifest unreadable");
  // The bytes as they are, without the text mode's CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(LockResource(data), 1, size, stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  const auto number = [&](int index) { return std::strtoll(argv[index], nullptr, 10); };
  if (verb == "share-read" && (argc == 4 || argc == 5))
    return ShareRead(argv[2], static_cast<DWORD>(number(3)), argc == 5 ? number(4) : -1);
  if (verb == "name" && argc == 4) return Name(argv[2], static_cast<DWORD>(number(3)));
  if (verb == "on-desktop" && argc == 4) return OnDesktop(argv[2], argv[3]);
  if (verb == "manifest" && argc == 3) return Manifest(argv[2]);
  std::fputs("usage: other_program.exe share-read|name|on-desktop|manifest ...\n", stderr);
  return 2;
}
