#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "host/vendor_host.h"

namespace hx {

namespace {

// The host's doorbell: the event it sets for an answer and the one the
// program sets for a request; the program's end wakes it too.  (Nothing of
// user32.dll, which a process pays for at its start.)
class HostDoorbell : public Doorbell {
 public:
  HostDoorbell(HANDLE request, HANDLE answer, HANDLE program)
      : request_(request), answer_(answer), program_(program) {}
  void Ring() override { SetEvent(answer_); }
  Woke Wait(std::chrono::milliseconds timeout) override {
    const HANDLE handles[] = {request_, program_};
    const auto ms = std::clamp<long long>(timeout.count(), 0, INFINITE - 1);
    const DWORD woke = WaitForMultipleObjects(2, handles, FALSE, static_cast<DWORD>(ms));
    if (woke == WAIT_OBJECT_0) return Woke::kRung;
    if (woke == WAIT_OBJECT_0 + 1) return Woke::kOtherEnded;
    return Woke::kNothing;
  }

 private:
  HANDLE request_;
  HANDLE answer_;
  HANDLE program_;
};

class Win32HostChannel : public HostChannel {
 public:
  Win32HostChannel(ChannelRegion* region, HANDLE request, HANDLE answer, HANDLE program)
      : region_(region), bell_(request, answer, program) {}
  ChannelRegion& region() override { return *region_; }
  Doorbell& bell() override { return bell_; }

 private:
  ChannelRegion* region_;
  HostDoorbell bell_;
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
