#include "output/log_file.h"

#include <cerrno>
#include <cstdio>

#include "ui/run_error.h"

namespace hx {

int32_t FileErrorNumber(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return err::kPathNotFound;
    // Refused access, a read-only medium and a folder where a file was
    // expected all read the same to the user: the path cannot be written.
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return err::kPathFileAccess;
    case EINVAL:
    case ENAMETOOLONG:
      return err::kBadFileName;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return err::kDiskFull;
    case EMFILE:
    case ENFILE:
      return err::kTooManyFiles;
    case ENOMEM:
      return err::kOutOfMemory;
    default:
      return err::kDeviceIo;
  }
}

void AppendLogLine(const std::string& path, const std::string& line) {
  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) throw RunError(FileErrorNumber(errno), path);

  // The line ending is CR LF on every platform: the log is read on the
  // plant's Windows machines as well.
  const std::string record = line + "\r\n";
  errno = 0;
  bool written =
      std::fwrite(record.data(), 1, record.size(), file) == record.size() && std::fflush(file) == 0;
  int error = errno;
  // A full disk may only show when the buffer is handed over at close.
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) throw RunError(FileErrorNumber(error), path);
}

}  // namespace hx
