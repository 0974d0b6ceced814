#include "output/log_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/run_error.h"

namespace hx {

namespace {

// The one place where file-system failures become run-time error numbers.
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
    case EFBIG:  // the file may grow no further: full, as far as the log is concerned
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

}  // namespace

void AppendLogLine(const std::string& path, const std::string& line) {
  // Where this line begins, so that a line the disk could take only part of
  // does not stay behind as the start of whatever is written next.  A file
  // not there yet begins empty; a device has no size and is left alone.
  std::error_code ec;
  std::uintmax_t before = std::filesystem::file_size(path, ec);
  const bool sized = !ec || ec == std::errc::no_such_file_or_directory;
  if (ec) before = 0;

  std::FILE* file = std::fopen(path.c_str(), "ab");
  if (file == nullptr) throw RunError(FileErrorNumber(errno), path);
  // Unbuffered, the whole line goes to the system in one write: a buffered
  // stream hands a long line over in pieces, and a process ended between two
  // of them would leave half a line for the next run's first line to join.
  std::setvbuf(file, nullptr, _IONBF, 0);

  // The line ending is CR LF on every platform: the log is read on the
  // plant's Windows machines as well.
  const std::string record = line + "\r\n";
  const bool written = std::fwrite(record.data(), 1, record.size(), file) == record.size();
  const int write_error = errno;
  // A full disk may only show when the buffer is handed over at close.
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const int error = written ? errno : write_error;
    if (sized) std::filesystem::resize_file(path, before, ec);
    throw RunError(FileErrorNumber(error), path);
  }
}

}  // namespace hx
