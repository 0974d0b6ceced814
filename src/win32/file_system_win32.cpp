#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "base/run_error.h"
#include "platform/file_system.h"
#include "win32/wide_text.h"

namespace hx {

namespace {

// Opened in binary mode, shared with every other program as any file the
// C library opens, and not handed to a program the run starts.
constexpr int kOpenFlags = _O_BINARY | _O_NOINHERIT;

// errno and the system's own error of the C library's last call are
// cleared before each call, so that a held file is never read from what an
// earlier call left.
void ClearFailure() {
  errno = 0;
  _doserrno = 0;
}

// Whether the failed call met a file another program holds: a sharing or a
// lock violation, which the C library reports as a refusal like any other.
bool Held() {
  return errno == EACCES &&
         (_doserrno == ERROR_SHARING_VIOLATION || _doserrno == ERROR_LOCK_VIOLATION);
}

[[noreturn]] void Fail(int error, const std::string& path) {
  throw RunError(FileErrorNumber(error), path);
}

// A plain file, as the system calls a disk file: not a pipe, a console or
// another device, which may keep the program waiting for ever.
bool Plain(const struct _stat64& info) {
  return (info.st_mode & _S_IFMT) == _S_IFREG;
}

[[noreturn]] void NotPlain(int fd, const std::string& path) {
  _close(fd);
  throw RunError(err::kPathFileAccess, path + " is not a plain file");
}

int64_t SizeOf(int fd) {
  struct _stat64 info {};
  return _fstat64(fd, &info) == 0 ? info.st_size : -1;
}

}  // namespace

// Names are held in UTF-8, which the program opens through the system's
// wide-character calls, so that a name does not depend on the system's own
// code page.
std::string SystemFileSystem::NameOf(std::string_view program_text, const CodePage& code_page,
                                     bool) {
  return Utf8FromProgramText(program_text, code_page);
}

std::string SystemFileSystem::ProgramTextOf(std::string_view name, const CodePage& code_page) {
  return ProgramTextFromUtf8(name, code_page);
}

PathKind SystemFileSystem::KindOf(const std::string& path) {
  struct _stat64 info {};
  if (_wstat64(NativePath(path).c_str(), &info) != 0)
    return errno == ENOENT || errno == ENOTDIR ? PathKind::kMissing : PathKind::kOther;
  if ((info.st_mode & _S_IFMT) == _S_IFDIR) return PathKind::kFolder;
  return Plain(info) ? PathKind::kFile : PathKind::kOther;
}

std::unique_ptr<std::istream> SystemFileSystem::OpenForReading(const std::string& path) {
  int fd = -1;
  if (_wsopen_s(&fd, NativePath(path).c_str(), _O_RDONLY | kOpenFlags, _SH_DENYNO, 0) != 0)
    Fail(errno, path);
  struct _stat64 info {};
  if (_fstat64(fd, &info) != 0 || !Plain(info)) NotPlain(fd, path);
  return StreamOfDescriptor(fd);
}

Appended SystemFileSystem::Append(const std::string& path, std::string_view record) {
  ClearFailure();
  int fd = -1;
  if (_wsopen_s(&fd, NativePath(path).c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | kOpenFlags,
                _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) {
    if (Held()) return Appended::kHeld;
    Fail(errno, path);
  }
  struct _stat64 info {};
  if (_fstat64(fd, &info) != 0 || !Plain(info)) NotPlain(fd, path);
  // Where this line begins, so that a line the disk could take only part of
  // does not stay behind as the start of whatever is written next.
  const int64_t before = info.st_size;

  ClearFailure();
  const int n = _write(fd, record.data(), static_cast<unsigned>(record.size()));
  int error = 0;
  bool held = false;
  if (n != static_cast<int>(record.size())) {
    error = n < 0 ? errno : ENOSPC;
    held = n < 0 && Held();
    // A file that took only part of the line ran out of room, whatever the
    // C library names as the cause.
    const int64_t after = SizeOf(fd);
    if (after > before && after < before + static_cast<int64_t>(record.size())) {
      error = ENOSPC;
      held = false;
    }
    _chsize_s(fd, before);
  }
  ClearFailure();
  if (_close(fd) != 0 && error == 0) error = errno;
  if (held) return Appended::kHeld;
  if (error != 0) Fail(error, path);
  return Appended::kWhole;
}

}  // namespace hx
