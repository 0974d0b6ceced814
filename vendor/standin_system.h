// What our stand-in LumoCom needs of the system it runs on, one file per
// system (standin_system_posix.cpp, standin_system_win32.cpp): the folder of
// the program that loaded it, where the simulated plant lies by default, and
// a helper process started as libraries start theirs.

#ifndef HX_VENDOR_STANDIN_SYSTEM_H_
#define HX_VENDOR_STANDIN_SYSTEM_H_

#include <string>

namespace standin {

// The folder separator of the system.
extern const char kSeparator;

// The folder of the program that loaded the library; "." when the system
// cannot tell.
std::string ExecutableFolder();

// Starts a helper that lives seconds, writing a line a second on the
// standard output and error it inherits from the process.
void StartHelper(int seconds);

// What the helper writes.
inline constexpr char kHelperLine[] = "LumoCom's helper is still there\n";

}  // namespace standin

#endif  // HX_VENDOR_STANDIN_SYSTEM_H_
