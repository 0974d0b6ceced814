// File names inside a folder: the program folder with HX_RPT.INI and the
// vendor libraries, LOGFILEPATH with LOGFILENAME.
//
// Thread-compatible: pure functions.

#ifndef HX_BASE_PATHS_H_
#define HX_BASE_PATHS_H_

#include <string>
#include <string_view>

namespace hx {

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

}  // namespace hx

#endif  // HX_BASE_PATHS_H_
