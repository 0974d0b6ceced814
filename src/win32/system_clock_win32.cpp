#include "platform/system_clock.h"

#include <windows.h>

namespace hx {

LocalTime SystemClock::Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void SystemClock::Pause(std::chrono::milliseconds time) {
  Sleep(static_cast<DWORD>(time.count()));
}

}  // namespace hx
