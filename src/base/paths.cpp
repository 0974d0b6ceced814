#include "base/paths.h"

#include <sys/stat.h>

#include <cerrno>

#include "base/code_page.h"

namespace hx {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += name;
  return path;
}

std::string FileSystemName(std::string_view program_text, bool definition_utf8) {
#ifdef _WIN32
  (void)definition_utf8;
  return std::string(program_text);
#else
  return definition_utf8 ? Utf8FromProgramText(program_text) : std::string(program_text);
#endif
}

PathKind KindOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return errno == ENOENT || errno == ENOTDIR ? PathKind::kMissing : PathKind::kOther;
  return (info.st_mode & S_IFMT) == S_IFDIR ? PathKind::kFolder : PathKind::kOther;
}

}  // namespace hx
