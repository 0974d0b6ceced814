#include "platform/executable_folder.h"

#include <filesystem>

namespace hx {

std::string ExecutableFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().native();
}

std::string FileNameArgument(char** argv, int index) {
  return argv[index];
}

}  // namespace hx
