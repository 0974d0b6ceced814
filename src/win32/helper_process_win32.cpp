#include "win32/helper_process_win32.h"

#include <cstdio>
#include <string>

#include "win32/system_text.h"
#include "win32/wide_text.h"

namespace hx {

namespace {

using Clock = std::chrono::steady_clock;

// How long the end of the program waits for a helper to end by itself once
// told, and then for one that was ended: whatever a helper does, the
// program ends soon after its report.
constexpr DWORD kEndingWait = 50;
constexpr DWORD kKilledWait = 10;

class Win32Helper : public HelperProcess {
 public:
  Win32Helper(HANDLE process, HANDLE mapping, ChannelRegion* region, HANDLE request, HANDLE answer)
      : process_(process),
        mapping_(mapping),
        region_(region),
        request_(request),
        answer_(answer),
        doorbell_(request, answer, process),
        channel_(*region, doorbell_, ChannelEnd::Side::kProgram) {}
  ~Win32Helper() override {
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
      channel_.Post({});
      if (WaitForSingleObject(process_, kEndingWait) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, kKilledWait);
      }
    }
    UnmapViewOfFile(region_);
    for (HANDLE h : {mapping_, request_, answer_, process_}) CloseHandle(h);
  }
  Win32Helper(const Win32Helper&) = delete;
  Win32Helper& operator=(const Win32Helper&) = delete;

  bool Send(std::string_view message) override { return channel_.Post(message); }

  ReadResult Receive(std::string& answer, std::chrono::milliseconds timeout,
                     const std::function<void()>& idle) override {
    return channel_.Await(answer, Clock::now() + timeout, idle);
  }

  void Kill() override {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 1000);
  }

  std::string Ending() override {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_, 1000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_, &code))
      return "still running";
    char text[32];
    snprintf(text, sizeof text, "exit status 0x%08lX", static_cast<unsigned long>(code));
    return text;
  }

 private:
  HANDLE process_;
  HANDLE mapping_;
  ChannelRegion* region_;
  HANDLE request_;
  HANDLE answer_;
  EventDoorbell<true> doorbell_;
  ChannelEnd channel_;
};

// A command line that passes each word on unchanged (the words here hold no
// quotes or backslashes before quotes).
std::wstring CommandLine(const std::vector<std::wstring>& words) {
  std::wstring line;
  for (const std::wstring& w : words) line += (line.empty() ? L"\"" : L" \"") + w + L"\"";
  return line;
}

std::wstring HandleWord(HANDLE h) {
  return std::to_wstring(reinterpret_cast<uintptr_t>(h));
}

// Handles the helper inherits for one start: inheritable while it starts,
// and named in the start's handle list so that it inherits nothing else.
class InheritedForOneStart {
 public:
  explicit InheritedForOneStart(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    for (HANDLE h : handles_) SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (!InitializeProcThreadAttributeList(list_, 1, 0, &size)) {
      list_ = nullptr;
      return;
    }
    if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                   handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
      DeleteProcThreadAttributeList(list_);
      list_ = nullptr;
    }
  }
  ~InheritedForOneStart() {
    if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
    for (HANDLE h : handles_) SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
  }
  InheritedForOneStart(const InheritedForOneStart&) = delete;
  InheritedForOneStart& operator=(const InheritedForOneStart&) = delete;

  LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

 private:
  std::vector<HANDLE> handles_;
  std::vector<char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

Win32HelperLauncher::Win32HelperLauncher() : job_(CreateJobObjectW(nullptr, nullptr)) {
  if (job_ == nullptr) return;
  // The helpers end when the program does, and so does whatever a library
  // starts in a helper: it may hold what the program's starter waits on
  // (under wine, every process holds its parent's standard error).
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

Win32HelperLauncher::~Win32HelperLauncher() {
  if (job_ != nullptr) CloseHandle(job_);
}

std::unique_ptr<HelperProcess> Win32HelperLauncher::Start(const std::string& program,
                                                          const std::vector<std::string>& arguments,
                                                          std::string* why) {
  std::vector<HANDLE> owned;
  auto close_all = [&] {
    for (HANDLE h : owned) CloseHandle(h);
  };
  void* view = nullptr;
  // The system's word for the failure first: the clean-up may change it.
  auto fail = [&](const char* what) {
    *why = std::string(what) + ": " + LastSystemError();
    if (view != nullptr) UnmapViewOfFile(view);
    close_all();
    return nullptr;
  };
  const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(ChannelRegion), nullptr);
  if (mapping == nullptr) return fail("no shared memory");
  owned.push_back(mapping);
  const HANDLE request = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (request == nullptr) return fail("no event");
  owned.push_back(request);
  const HANDLE answer = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (answer == nullptr) return fail("no event");
  owned.push_back(answer);
  // The helper's way to see the program end.
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE, FALSE, 0))
    return fail("no handle of the program");
  owned.push_back(self);
  const HANDLE null_device =
      CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (null_device == INVALID_HANDLE_VALUE) return fail("no null device");
  owned.push_back(null_device);
  view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ChannelRegion));
  if (view == nullptr) return fail("no shared memory");

  std::vector<std::wstring> words = {NativePath(program).wstring()};
  for (const std::string& a : arguments) words.push_back(NativePath(a).wstring());
  for (HANDLE h : {mapping, request, answer, self}) words.push_back(HandleWord(h));
  std::wstring line = CommandLine(words);
  PROCESS_INFORMATION info{};
  BOOL started = FALSE;
  DWORD start_error = 0;
  {
    InheritedForOneStart inherited({mapping, request, answer, self, null_device});
    if (inherited.list() == nullptr) return fail("no handle list");
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = null_device;
    startup.StartupInfo.hStdOutput = null_device;
    startup.StartupInfo.hStdError = null_device;
    startup.lpAttributeList = inherited.list();
    started = CreateProcessW(words[0].c_str(), line.data(), nullptr, nullptr, TRUE,
                             CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT,
                             nullptr, nullptr, &startup.StartupInfo, &info);
    if (!started) start_error = GetLastError();
  }
  if (!started) {
    SetLastError(start_error);  // as CreateProcessW left it, before the list was undone
    return fail("cannot start");
  }
  CloseHandle(self);
  CloseHandle(null_device);
  // In the program's job before it runs: the system ends it with the
  // program.  Where the job cannot be had (a program already in a job on
  // Windows 7), the helper's own watch of the program does it.
  if (job_ != nullptr) AssignProcessToJobObject(job_, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  return std::make_unique<Win32Helper>(info.hProcess, mapping, static_cast<ChannelRegion*>(view),
                                       request, answer);
}

std::unique_ptr<HelperLauncher> SystemHelperLauncher() {
  return std::make_unique<Win32HelperLauncher>();
}

}  // namespace hx
