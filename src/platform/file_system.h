// The files the program reads and writes: the definition file, read once
// from top to bottom, and the log file, appended to a line at a time.  One
// implementation per platform (posix/file_system_posix.cpp,
// win32/file_system_win32.cpp), each turning its system's failures into the
// program's run-time error numbers through FileErrorNumber, the one table of
// them; tests wrap it to make a file fail on demand.
//
// Names are as the file system spells them (NameOf, below).  Nothing opened
// here is handed on to a program that HX_RPT starts (the vendor host).
// Safe to call from any thread: no state is kept between calls.

#ifndef HX_PLATFORM_FILE_SYSTEM_H_
#define HX_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "base/code_page.h"

namespace hx {

// What a path names.  kOther is anything that is neither a folder nor a
// plain file: a pipe, a socket, a device.  Such a thing is never read or
// written, since it may keep the program waiting for ever.
enum class PathKind { kMissing, kFolder, kFile, kOther };

enum class Appended {
  kWhole,  // the line is in the file
  kHeld,   // another program holds the file; nothing was written
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The name under which the file system knows a file or folder that the
  // definition file names (program text in code_page; definition_unicode:
  // the file was written in UTF-8 or UTF-16).
  virtual std::string NameOf(std::string_view program_text, const CodePage& code_page,
                             bool definition_unicode) = 0;
  // A name as the file system spells it (the program's folder), as program
  // text for messages.
  virtual std::string ProgramTextOf(std::string_view name, const CodePage& code_page) = 0;

  virtual PathKind KindOf(const std::string& path) = 0;

  // The plain file at path, open for reading in binary mode; RunError when
  // it cannot be opened or is not a plain file.
  virtual std::unique_ptr<std::istream> OpenForReading(const std::string& path) = 0;

  // Appends record to the plain file at path, creating it when missing, in
  // one write: the record goes in whole or not at all (a part the disk took
  // is taken back out), and nothing already in the file changes.  Where the
  // system has such holds (Windows), a file that another program holds open
  // without sharing it for writing, or has locked, gives kHeld; POSIX locks
  // bind only those who ask for them, and the line is written.  A path that
  // names no plain file fails at once, without waiting on whatever is there.
  // Other failures raise RunError.
  virtual Appended Append(const std::string& path, std::string_view record) = 0;
};

// The file system of the system the program runs on.
class SystemFileSystem : public FileSystem {
 public:
  std::string NameOf(std::string_view program_text, const CodePage& code_page,
                     bool definition_unicode) override;
  std::string ProgramTextOf(std::string_view name, const CodePage& code_page) override;
  PathKind KindOf(const std::string& path) override;
  std::unique_ptr<std::istream> OpenForReading(const std::string& path) override;
  Appended Append(const std::string& path, std::string_view record) override;
};

// The run-time error number of a C library error number (errno), the same
// on every platform the program runs on.
int32_t FileErrorNumber(int c_library_error);

// A stream that reads the open file descriptor fd (of the C library's
// open) and closes it when destroyed.
std::unique_ptr<std::istream> StreamOfDescriptor(int fd);

}  // namespace hx

#endif  // HX_PLATFORM_FILE_SYSTEM_H_
