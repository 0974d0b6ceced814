// The program's own folder: where HX_RPT.INI, the vendor libraries and, by
// default, the log file lie.

#ifndef HX_WIN32_EXECUTABLE_FOLDER_H_
#define HX_WIN32_EXECUTABLE_FOLDER_H_

#include <string>

namespace hx {

// The folder of the running executable in the ANSI code page, byte for byte
// as the file functions take it back.  Without a trailing separator unless
// it is a drive's root; empty when the system cannot tell.
std::string ExecutableFolder();

}  // namespace hx

#endif  // HX_WIN32_EXECUTABLE_FOLDER_H_
