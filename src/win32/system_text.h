// The system's own description of a failed Win32 call: the detail a RunError
// carries to the run's notes, and what the program says on standard error
// itself.
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
