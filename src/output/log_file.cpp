#include "output/log_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>
#ifdef _WIN32
#include <io.h>
#include <winerror.h>
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

// What a failed file call left behind: the C library's error number, and
// whether the file is held by another program, which the system tells
// apart from a refusal only on Windows (a sharing or a lock violation,
// which the C library reports as a refusal).  Cleared before each call, so
// that a held file is never read from what an earlier call left.
struct FileFailure {
  int error = 0;
  bool held = false;
};

#ifdef _WIN32
void ClearFileFailure() {
  errno = 0;
  _doserrno = 0;
}
FileFailure LastFileFailure() {
  const unsigned long system_error = _doserrno;
  return {errno, errno == EACCES && (system_error == ERROR_SHARING_VIOLATION ||
                                     system_error == ERROR_LOCK_VIOLATION)};
}
#else
void ClearFileFailure() {
  errno = 0;
}
FileFailure LastFileFailure() {
  return {errno, false};
}
#endif

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

Appended AppendLogLine(const std::string& path, const std::string& line) {
  // The line ending is CR LF on every platform: the log is read on the
  // plant's Windows machines as well.
  const std::string record = line + "\r\n";
  ClearFileFailure();
  std::FILE* file = OpenFile(path, "ab");
  if (file == nullptr) {
    const FileFailure failure = LastFileFailure();
    if (failure.held) return Appended::kHeld;
    throw RunError(FileErrorNumber(failure.error), path);
  }
  // A buffer that holds the whole line, so that the line goes to the system
  // in one write when the stream is flushed: a smaller buffer (and, with
  // some C libraries, no buffer at all) hands a long line over in pieces,
  // and a process ended between two of them would leave half a line for the
  // next run's first line to join.  It outlives the stream, which uses it
  // until fclose.
  std::vector<char> buffer(record.size() + 1);
  std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
  // Where this line begins, so that a line the disk could take only part of
  // does not stay behind as the start of whatever is written next.
  const int64_t before = SizeOf(file);

  // The line goes out at the flush, whose failure is judged there: some C
  // libraries' fclose reports success after the write it made has failed.
  ClearFileFailure();
  bool written = std::fwrite(record.data(), 1, record.size(), file) == record.size() &&
                 std::fflush(file) == 0 && std::ferror(file) == 0;
  FileFailure failure{};
  if (!written) {
    failure = LastFileFailure();
    // A file that took only part of the line ran out of room, whatever the C
    // library names as the cause: some (wine's) name whatever an earlier
    // system call left behind.
    const int64_t after = SizeOf(file);
    if (before >= 0 && after > before && after < before + static_cast<int64_t>(record.size()))
      failure = {ENOSPC, false};
  }
  ClearFileFailure();
  if (std::fclose(file) != 0 && written) {
    written = false;
    failure = LastFileFailure();
  }
  if (written) return Appended::kWhole;

  if (before >= 0) {
    if (std::FILE* again = OpenFile(path, "r+b")) {
      TruncateTo(again, before);
      std::fclose(again);
    }
  }
  if (failure.held) return Appended::kHeld;
  throw RunError(FileErrorNumber(failure.error), path);
}

void AppendWhenFree(const std::function<Appended()>& append, Clock& clock,
                    std::chrono::milliseconds& waited, const std::string& path) {
  using std::chrono::milliseconds;
  constexpr milliseconds kFirstPause{50};
  constexpr milliseconds kLongestPause{1000};
  milliseconds pause = kFirstPause;
  while (append() == Appended::kHeld) {
    const milliseconds left = kHeldLogWait - waited;
    if (left <= milliseconds::zero()) {
      throw RunError(err::kPermissionDenied, "another program holds " + path + " (waited " +
                                                 std::to_string(waited.count() / 1000) +
                                                 " s for it in this run)");
    }
    const milliseconds now = std::min(pause, left);
    clock.Pause(now);
    waited += now;
    pause = std::min(2 * pause, kLongestPause);
  }
}

}  // namespace hx
