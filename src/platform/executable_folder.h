// The program's own folder: where HX_RPT.INI, the vendor libraries and, by
// default, the log file lie, and where HX_CHECK looks for the definition
// file it checks.  One implementation per platform layer
// (qt/executable_folder_posix.cpp, win32/executable_folder_win32.cpp), built
// as a target of its own that HX_CHECK links too; the core learns the folder
// through the Platform struct instead.
// Safe to call from any thread.

#ifndef HX_PLATFORM_EXECUTABLE_FOLDER_H_
#define HX_PLATFORM_EXECUTABLE_FOLDER_H_

#include <string>

namespace hx {

// The folder of the running executable as the file system spells it, byte
// for byte (on Windows in the ANSI code page, as the "...A" file functions
// take it back): a folder name in any 8-bit code page must still lead to the
// definition file.  Without a trailing separator unless it is a root; empty
// when the system cannot tell.
std::string ExecutableFolder();

}  // namespace hx

#endif  // HX_PLATFORM_EXECUTABLE_FOLDER_H_
