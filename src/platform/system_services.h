// What HX_RPT's run gets from the system it runs on, made once by each
// platform's main and handed to RunProgram: its files, its clock, and the
// launcher of its helper processes.  Each platform layer implements the
// three (platform/file_system.h, platform/system_clock.h,
// platform/helper_process.h); HX_CHECK and HX_VENDOR make only the services
// they use themselves.
//
// Single-threaded, like the run that uses it.

#ifndef HX_PLATFORM_SYSTEM_SERVICES_H_
#define HX_PLATFORM_SYSTEM_SERVICES_H_

#include <memory>

#include "platform/file_system.h"
#include "platform/helper_process.h"
#include "platform/system_clock.h"

namespace hx {

struct SystemServices {
  SystemFileSystem files;
  SystemClock clock;
  std::unique_ptr<HelperLauncher> launcher = SystemHelperLauncher();
};

}  // namespace hx

#endif  // HX_PLATFORM_SYSTEM_SERVICES_H_
