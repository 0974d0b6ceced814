#include <windows.h>

#include "platform/single_copy.h"
#include "win32/system_text.h"

namespace hx {

namespace {

// The name lies in the namespace that every session shares, so that a
// scheduled task in session 0 and an operator's run see each other.  A copy
// started by another account may hold the name with access for that account
// only; the refusal then tells that it runs.  The system drops the name
// with the last copy that holds it.
class Win32SingleCopyLock : public SingleCopyLock {
 public:
  Win32SingleCopyLock() {
    handle_ = CreateMutexW(nullptr, FALSE, L"Global\\HX_RPT");
    const DWORD error = GetLastError();
    if (handle_ != nullptr) {
      state_ = error == ERROR_ALREADY_EXISTS ? State::kAnotherCopyRuns : State::kOnlyCopy;
    } else if (error == ERROR_ACCESS_DENIED) {
      state_ = State::kAnotherCopyRuns;
    } else {
      problem_ = "Global\\HX_RPT: " + LastSystemError();
    }
  }
  ~Win32SingleCopyLock() override {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Win32SingleCopyLock(const Win32SingleCopyLock&) = delete;
  Win32SingleCopyLock& operator=(const Win32SingleCopyLock&) = delete;

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

std::unique_ptr<SingleCopyLock> TakeSingleCopyLock() {
  return std::make_unique<Win32SingleCopyLock>();
}

}  // namespace hx
