// Appending one line to the log file.  The file is opened, written and closed
// for every line, so that a crash or a pulled plug never loses more than the
// line being written, and another program may read or rotate the log between
// two lines.  Failures raise RunError with the run-time error number that
// describes them; the caller's trap reports them.
//
// Thread-compatible: no state is kept between calls.

#ifndef HX_OUTPUT_LOG_FILE_H_
#define HX_OUTPUT_LOG_FILE_H_

#include <string>

namespace hx {

// Appends line and CR LF to the file at path (as the file system spells it,
// base/paths.h), creating it when missing.  The
// bytes of line are written as they are; nothing already in the file changes.
void AppendLogLine(const std::string& path, const std::string& line);

}  // namespace hx

#endif  // HX_OUTPUT_LOG_FILE_H_
