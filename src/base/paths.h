// File names inside a folder: the program folder with HX_RPT.INI and the
// vendor libraries, LOGFILEPATH with LOGFILENAME; and names as the file
// system takes them.
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

// The name under which the file system knows a file or folder that the
// definition file names (program text).  Windows takes names in its 8-bit
// code page, byte for byte as the program holds them; other systems take
// bytes, which for a definition file written in UTF-8 are that file's UTF-8.
std::string FileSystemName(std::string_view program_text, bool definition_utf8);

// What a path names, as the C library sees it (which takes a name as fopen
// does, in the system's 8-bit code page on Windows).
enum class PathKind { kMissing, kFolder, kOther };
PathKind KindOf(const std::string& path);

}  // namespace hx

#endif  // HX_BASE_PATHS_H_
