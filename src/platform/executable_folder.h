// The program's own folder: where HX_RPT.INI, the vendor libraries and, by
// default, the log file lie, and where HX_CHECK looks for the definition
// file it checks.  One implementation per platform layer
// (posix/executable_folder_posix.cpp, win32/executable_folder_win32.cpp and
// win32/file_name_argument_win32.cpp), in the system's services (hx_system),
// which HX_CHECK and HX_VENDOR link too; the core learns the folder through
// the Platform struct instead.
// Safe to call from any thread.

#ifndef HX_PLATFORM_EXECUTABLE_FOLDER_H_
#define HX_PLATFORM_EXECUTABLE_FOLDER_H_

#include <string>

namespace hx {

// The folder of the running executable as the file system spells it
// (base/paths.h): bytes on POSIX systems, UTF-8 on Windows, so that a folder
// of any name still leads to the definition file.  Without a trailing
// separator unless it is a root; empty when the system cannot tell.
std::string ExecutableFolder();

// The file name given as the command line's argument index, as the file
// system spells it: argv's bytes on POSIX systems; on Windows, where argv
// holds the system's code page, the command line's own characters in UTF-8.
std::string FileNameArgument(char** argv, int index);

}  // namespace hx

#endif  // HX_PLATFORM_EXECUTABLE_FOLDER_H_
