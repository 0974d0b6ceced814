#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/run_error.h"
#include "platform/file_system.h"

namespace hx {

namespace {

// Opens without waiting on whatever is there: a pipe without a reader, a
// device; nor is the descriptor handed to a program the run starts.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

[[noreturn]] void Fail(int error, const std::string& path) {
  throw RunError(FileErrorNumber(error), path);
}

// Shrinks a file back to size; one that cannot be shrunk keeps the fragment,
// and the failure is reported all the same.
void TakeBack(int fd, off_t size) {
  // Nothing more is to be done when it fails: the failure that led here is
  // the one reported.
  if (ftruncate(fd, size) != 0) return;
}

[[noreturn]] void NotPlain(int fd, const std::string& path) {
  close(fd);
  throw RunError(err::kPathFileAccess, path + " is not a plain file");
}

}  // namespace

// The file system takes bytes: for a definition file written in Unicode its
// UTF-8, for any other the bytes as written.
std::string SystemFileSystem::NameOf(std::string_view program_text, const CodePage& code_page,
                                     bool definition_unicode) {
  return definition_unicode ? Utf8FromProgramText(program_text, code_page)
                            : std::string(program_text);
}

std::string SystemFileSystem::ProgramTextOf(std::string_view name, const CodePage&) {
  return std::string(name);
}

PathKind SystemFileSystem::KindOf(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return errno == ENOENT || errno == ENOTDIR ? PathKind::kMissing : PathKind::kOther;
  if (S_ISDIR(info.st_mode)) return PathKind::kFolder;
  return S_ISREG(info.st_mode) ? PathKind::kFile : PathKind::kOther;
}

std::unique_ptr<std::istream> SystemFileSystem::OpenForReading(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | kOpenFlags);
  if (fd < 0) Fail(errno, path);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) NotPlain(fd, path);
  return StreamOfDescriptor(fd);
}

Appended SystemFileSystem::Append(const std::string& path, std::string_view record) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | kOpenFlags, 0666);
  if (fd < 0) Fail(errno, path);
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) NotPlain(fd, path);
  // Where this line begins, so that a line the disk could take only part of
  // does not stay behind as the start of whatever is written next.
  const off_t before = info.st_size;

  ssize_t n;
  do {
    n = write(fd, record.data(), record.size());
  } while (n < 0 && errno == EINTR);
  // A file that took only part of the line ran out of room.
  int error = n < 0 ? errno : static_cast<size_t>(n) < record.size() ? ENOSPC : 0;
  if (error != 0) TakeBack(fd, before);
  // A file system that writes on closing (a share) tells its failure there.
  if (close(fd) != 0 && error == 0 && errno != EINTR) {
    error = errno;
    const int again = open(path.c_str(), O_WRONLY | kOpenFlags);
    if (again >= 0) {
      TakeBack(again, before);
      close(again);
    }
  }
  if (error != 0) Fail(error, path);
  return Appended::kWhole;
}

}  // namespace hx
