// File names inside a folder: the program folder with HX_RPT.INI and the
// vendor libraries, LOGFILEPATH with LOGFILENAME; and names as the file
// system takes them.
//
// Thread-compatible: pure functions.

#ifndef HX_BASE_PATHS_H_
#define HX_BASE_PATHS_H_

#include <filesystem>
#include <string>
#include <string_view>

#include "base/code_page.h"

namespace hx {

// The definition file, in the program's folder.
inline constexpr const char* kDefinitionFileName = "HX_RPT.INI";

// Folder separator of the platform the program runs on.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// folder, a separator unless folder already ends with one, and name.  An
// empty folder gives the name below the root, never a name relative to
// whatever the current folder happens to be.
std::string JoinPath(std::string_view folder, std::string_view name);

// The name under which the file system knows a file or folder that the
// definition file names (program text in code_page).  Windows takes it in
// UTF-8, which the program opens through the system's wide-character calls,
// so that a name does not depend on the system's own code page.  Other
// systems take bytes: for a definition file written in UTF-8 that file's
// UTF-8, for any other the bytes as written.
std::string FileSystemName(std::string_view program_text, const CodePage& code_page,
                           bool definition_utf8);
// A name as the file system spells it (the program's folder), as program
// text for messages.
std::string ProgramTextOfFileSystemName(std::string_view name, const CodePage& code_page);

// The name as the standard library's streams and file functions take it.
std::filesystem::path NativePath(const std::string& name);

}  // namespace hx

#endif  // HX_BASE_PATHS_H_
