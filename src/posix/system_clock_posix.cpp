#include "platform/system_clock.h"

#include <ctime>
#include <thread>

namespace hx {

LocalTime SystemClock::Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void SystemClock::Pause(std::chrono::milliseconds time) {
  std::this_thread::sleep_for(time);
}

}  // namespace hx
