#include <windows.h>

#include <charconv>
#include <cstdint>

#include "host/vendor_host.h"
#include "win32/helper_process_win32.h"

namespace hx {

namespace {

class Win32HostChannel : public HostChannel {
 public:
  Win32HostChannel(ChannelRegion* region, HANDLE request, HANDLE answer, HANDLE program)
      : region_(region), bell_(answer, request, program) {}
  ChannelRegion& region() override { return *region_; }
  Doorbell& bell() override { return bell_; }

 private:
  ChannelRegion* region_;
  EventDoorbell<false> bell_;
};

bool Handle(const std::string& text, HANDLE& h) {
  uintptr_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  h = reinterpret_cast<HANDLE>(value);
  return error == std::errc() && end == text.data() + text.size() && value != 0;
}

// A crash ends the host at once, its exit status the crash's code: no
// dialog that nobody sees keeps it, and no debugger, before the program
// learns of it.
LONG WINAPI EndAtOnce(EXCEPTION_POINTERS* crash) {
  TerminateProcess(GetCurrentProcess(), crash->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

// Ends the host as soon as the program has ended, even in the middle of a
// call that never returns, also where the system's job cannot do it.
DWORD WINAPI WatchTheProgram(void* program) {
  WaitForSingleObject(static_cast<HANDLE>(program), INFINITE);
  TerminateProcess(GetCurrentProcess(), 1);
  return 0;
}

}  // namespace

// The arguments: the handles of the file mapping, of the event the program
// sets for a request, of the event the host sets for an answer, and of the
// program's process.
std::unique_ptr<HostChannel> OpenHostChannel(const std::vector<std::string>& arguments) {
  HANDLE mapping = nullptr, request = nullptr, answer = nullptr, program = nullptr;
  if (arguments.size() != 4 || !Handle(arguments[0], mapping) || !Handle(arguments[1], request) ||
      !Handle(arguments[2], answer) || !Handle(arguments[3], program))
    return nullptr;
  SetErrorMode(GetErrorMode() | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(EndAtOnce);
  // Nothing the library starts inherits the channel.
  for (HANDLE h : {mapping, request, answer, program})
    SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
  // The watch starts before the library is loaded, which so never learns of
  // the thread.
  if (WaitForSingleObject(program, 0) != WAIT_TIMEOUT) return nullptr;
  const HANDLE watch = CreateThread(nullptr, 0, WatchTheProgram, program, 0, nullptr);
  if (watch == nullptr) return nullptr;
  CloseHandle(watch);
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ChannelRegion));
  CloseHandle(mapping);
  if (view == nullptr) return nullptr;
  return std::make_unique<Win32HostChannel>(static_cast<ChannelRegion*>(view), request, answer,
                                            program);
}

}  // namespace hx
