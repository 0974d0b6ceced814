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

std::string FileSystemName(std::string_view program_text, const CodePage& code_page,
                           bool definition_utf8) {
#ifdef _WIN32
  (void)definition_utf8;
  return Utf8FromProgramText(program_text, code_page);
#else
  return definition_utf8 ? Utf8FromProgramText(program_text, code_page) : std::string(program_text);
#endif
}

std::string ProgramTextOfFileSystemName(std::string_view name, const CodePage& code_page) {
#ifdef _WIN32
  return ProgramTextFromUtf8(name, code_page);
#else
  (void)code_page;
  return std::string(name);
#endif
}

std::filesystem::path NativePath(const std::string& name) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
  return std::filesystem::path(name);
#endif
}

std::FILE* OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
  const std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(NativePath(name).c_str(), wide_mode.c_str());
#else
  return std::fopen(name.c_str(), mode);
#endif
}

PathKind KindOf(const std::string& path) {
#ifdef _WIN32
  struct _stat64 info {};
  if (_wstat64(NativePath(path).c_str(), &info) != 0)
#else
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
#endif
    return errno == ENOENT || errno == ENOTDIR ? PathKind::kMissing : PathKind::kOther;
  return (info.st_mode & S_IFMT) == S_IFDIR ? PathKind::kFolder : PathKind::kOther;
}

}  // namespace hx
