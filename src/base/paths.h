// File names inside a folder: the program folder with HX_RPT.INI and the
// vendor libraries, LOGFILEPATH with LOGFILENAME.  How the file system
// spells a name is the platform's (platform/file_system.h).
//
// Thread-compatible: pure functions.

#ifndef HX_BASE_PATHS_H_
#define HX_BASE_PATHS_H_

#include <string>
#include <string_view>

namespace hx {

// The definition file, in the program's folder.
inline constexpr const char* kDefinitionFileName = "HX_RPT.INI";

// Folder separator of the system the program is built for, as the build
// says it (HX_PATH_SEPARATOR).
inline constexpr char kPathSeparator = HX_PATH_SEPARATOR;

// folder, a separator unless folder already ends with one, and name.  An
// empty folder gives the name below the root, never a name relative to
// whatever the current folder happens to be.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace hx

#endif  // HX_BASE_PATHS_H_
