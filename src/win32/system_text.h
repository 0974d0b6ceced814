// The system's own description of a failed Win32 call, for the detail a
// RunError carries to standard error.
//
// Thread-compatible: reads only the calling thread's last error.

#ifndef HX_WIN32_SYSTEM_TEXT_H_
#define HX_WIN32_SYSTEM_TEXT_H_

#include <string>

namespace hx {

// The text of the calling thread's last error, with its number.
std::string LastSystemError();

}  // namespace hx

#endif  // HX_WIN32_SYSTEM_TEXT_H_
