#include "platform/file_system.h"

#include <ext/stdio_filebuf.h>

#include <cerrno>

#include "base/run_error.h"

namespace hx {

int32_t FileErrorNumber(int c_library_error) {
  switch (c_library_error) {
    case ENOENT:
    case ENOTDIR:
      return err::kPathNotFound;
    // Refused access, a read-only medium, a folder where a file was expected,
    // a pipe nobody reads and a link that leads to itself all read the same
    // to the user: the path cannot be used.
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENXIO:
    case ELOOP:
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

namespace {

// The standard library's stream on a descriptor it owns.
class DescriptorStream : public std::istream {
 public:
  explicit DescriptorStream(int fd) : std::istream(nullptr), buffer_(fd, std::ios::in) {
    rdbuf(&buffer_);
  }

 private:
  __gnu_cxx::stdio_filebuf<char> buffer_;
};

}  // namespace

std::unique_ptr<std::istream> StreamOfDescriptor(int fd) {
  return std::make_unique<DescriptorStream>(fd);
}

}  // namespace hx
