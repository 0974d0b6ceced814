#include "win32/helper_process_win32.h"

#include <string>

#include "base/paths.h"
#include "win32/system_text.h"

namespace hx {

namespace {

class Win32Helper : public HelperProcess {
 public:
  Win32Helper(HANDLE process, HANDLE to, HANDLE from)
      : process_(process),
        to_(to),
        from_(from),
        event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Win32Helper() override {
    CloseHandle(to_);
    // A host that is done exits as its input closes; one stuck in a library
    // call is not waited for long.
    if (WaitForSingleObject(process_, 1000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    if (pending_) {
      CancelIo(from_);
      DWORD n = 0;
      GetOverlappedResult(from_, &overlapped_, &n, TRUE);
    }
    CloseHandle(from_);
    CloseHandle(event_);
    CloseHandle(process_);
  }

  bool Write(std::string_view data) override {
    while (!data.empty()) {
      DWORD n = 0;
      if (!WriteFile(to_, data.data(), static_cast<DWORD>(data.size()), &n, nullptr) || n == 0)
        return false;
      data.remove_prefix(n);
    }
    return true;
  }

  ReadResult Read(std::string& out, std::chrono::milliseconds timeout,
                  const std::function<void()>& idle) override {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    if (!pending_) {
      overlapped_ = OVERLAPPED{};
      overlapped_.hEvent = event_;
      ResetEvent(event_);
      if (!ReadFile(from_, buffer_, sizeof buffer_, nullptr, &overlapped_) &&
          GetLastError() != ERROR_IO_PENDING)
        return ReadResult::kEnded;
      pending_ = true;
    }
    for (;;) {
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return ReadResult::kTimedOut;
      // Window messages are answered while the call is under way.
      const DWORD woke = MsgWaitForMultipleObjects(1, &event_, FALSE,
                                                   static_cast<DWORD>(deadline - now), QS_ALLINPUT);
      if (woke == WAIT_OBJECT_0) break;
      if (idle) idle();
    }
    pending_ = false;
    DWORD n = 0;
    if (!GetOverlappedResult(from_, &overlapped_, &n, FALSE) || n == 0) return ReadResult::kEnded;
    out.append(buffer_, n);
    return ReadResult::kData;
  }

  void Kill() override { TerminateProcess(process_, 1); }

  std::string Ending() override {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_, 1000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_, &code))
      return {};
    char text[32];
    snprintf(text, sizeof text, "exit status 0x%08lX", static_cast<unsigned long>(code));
    return text;
  }

 private:
  HANDLE process_;
  HANDLE to_;
  HANDLE from_;
  HANDLE event_;
  OVERLAPPED overlapped_{};
  bool pending_ = false;
  char buffer_[65536];
};

// A command line that passes each word on unchanged (the words here hold no
// quotes or backslashes before quotes).
std::wstring CommandLine(const std::vector<std::wstring>& words) {
  std::wstring line;
  for (const std::wstring& w : words) line += (line.empty() ? L"\"" : L" \"") + w + L"\"";
  return line;
}

}  // namespace

Win32HelperLauncher::Win32HelperLauncher() : job_(CreateJobObjectW(nullptr, nullptr)) {
  if (job_ == nullptr) return;
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
  auto fail = [&](const char* what) {
    *why = std::string(what) + ": " + LastSystemError();
    return nullptr;
  };
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  // Standard input: an ordinary pipe; the program's end is not inherited.
  HANDLE in_read = nullptr, in_write = nullptr;
  if (!CreatePipe(&in_read, &in_write, &inherit, 0)) return fail("no pipe");
  SetHandleInformation(in_write, HANDLE_FLAG_INHERIT, 0);
  // Standard output: a named pipe the program reads with a time limit.
  const std::wstring name = L"\\\\.\\pipe\\HX_RPT-" + std::to_wstring(GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++started_);
  HANDLE out_read = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                                     PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                     65536, 0, nullptr);
  if (out_read == INVALID_HANDLE_VALUE) {
    CloseHandle(in_read);
    CloseHandle(in_write);
    return fail("no pipe");
  }
  HANDLE out_write =
      CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherit, OPEN_EXISTING, 0, nullptr);
  if (out_write == INVALID_HANDLE_VALUE) {
    CloseHandle(in_read);
    CloseHandle(in_write);
    CloseHandle(out_read);
    return fail("no pipe");
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_read;
  startup.hStdOutput = out_write;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::vector<std::wstring> words = {NativePath(program).wstring()};
  for (const std::string& a : arguments) words.push_back(NativePath(a).wstring());
  std::wstring line = CommandLine(words);
  PROCESS_INFORMATION info{};
  const BOOL started =
      CreateProcessW(words[0].c_str(), line.data(), nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
  const std::string error = started ? std::string() : LastSystemError();
  CloseHandle(in_read);
  CloseHandle(out_write);
  if (!started) {
    CloseHandle(in_write);
    CloseHandle(out_read);
    *why = error;
    return nullptr;
  }
  // In the program's job before it runs: it ends with the program.
  if (job_ != nullptr) AssignProcessToJobObject(job_, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  return std::make_unique<Win32Helper>(info.hProcess, in_write, out_read);
}

std::unique_ptr<HelperLauncher> SystemHelperLauncher() {
  return std::make_unique<Win32HelperLauncher>();
}

}  // namespace hx
