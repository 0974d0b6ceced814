#include "base/paths.h"

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

}  // namespace hx
