#include "qt/runtime_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace hx {

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string PrivateRuntimeFolder() {
  const std::string folder = TemporaryFolder() + "/HX_RPT-" + std::to_string(geteuid());

  // Opened without following a link, and judged by what was opened, so that
  // nothing put in its place between the look and the use is taken instead.
  const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = open(folder.c_str(), flags);
  if (fd < 0 && errno == ENOENT && (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST))
    fd = open(folder.c_str(), flags);
  if (fd < 0) return {};
  struct stat st {};
  const bool ours = fstat(fd, &st) == 0 && st.st_uid == geteuid() &&
                    ((st.st_mode & 07777) == 0700 || fchmod(fd, 0700) == 0);
  close(fd);
  return ours ? folder : std::string();
}

}  // namespace hx
