#include "output/log_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <vector>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/paths.h"
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

// The size of an open file, -1 for a device, which has none; and shrinking
// a file back (a file that cannot be shrunk keeps the fragment, and the
// failure is reported all the same).  Both work on the open file, not on its name, so that a name
// in any code page reaches the same file as the open did; the C library
// names these two differently on the two platforms the program runs on.
#ifdef _WIN32
int64_t SizeOf(std::FILE* file) {
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return -1;
  return info.st_size;
}
bool TruncateTo(std::FILE* file, int64_t size) {
  return _chsize_s(_fileno(file), size) == 0;
}
#else
int64_t SizeOf(std::FILE* file) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return info.st_size;
}
bool TruncateTo(std::FILE* file, int64_t size) {
  return ftruncate(fileno(file), size) == 0;
}
#endif

}  // namespace

void AppendLogLine(const std::string& path, const std::string& line) {
  // The line ending is CR LF on every platform: the log is read on the
  // plant's Windows machines as well.
  const std::string record = line + "\r\n";
  std::FILE* file = OpenFile(path, "ab");
  if (file == nullptr) throw RunError(FileErrorNumber(errno), path);
  // A buffer that holds the whole line, so that the line goes to the system
  // in one write when the file is closed: a smaller buffer (and, with some C
  // libraries, no buffer at all) hands a long line over in pieces, and a
  // process ended between two of them would leave half a line for the next
  // run's first line to join.  It outlives the stream, which uses it until
  // fclose.
  std::vector<char> buffer(record.size() + 1);
  std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
  // Where this line begins, so that a line the disk could take only part of
  // does not stay behind as the start of whatever is written next.
  const int64_t before = SizeOf(file);

  const bool written = std::fwrite(record.data(), 1, record.size(), file) == record.size();
  const int write_error = errno;
  // The line goes out as the file is closed.
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const int error = written ? errno : write_error;
    if (before >= 0) {
      if (std::FILE* again = OpenFile(path, "r+b")) {
        TruncateTo(again, before);
        std::fclose(again);
      }
    }
    throw RunError(FileErrorNumber(error), path);
  }
}

}  // namespace hx
