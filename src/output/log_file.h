// Appending one line to the log file.  The file is opened, written and closed
// for every line, so that a crash or a pulled plug never loses more than the
// line being written, and another program may read or rotate the log between
// two lines.  Failures raise RunError with the run-time error number that
// describes them; the caller's trap reports them.
//
// Another program may also hold the log for a while: a virus scanner or a
// backup agent reads it as it grows, an operator leaves it open in a
// spreadsheet.  Such a file is waited for, within a bound for the whole
// run, rather than lose the report.  A file that keeps the program waiting
// in the system itself (a share that stopped answering) is given no longer.
//
// Thread-compatible: no state is kept between calls.

#ifndef HX_OUTPUT_LOG_FILE_H_
#define HX_OUTPUT_LOG_FILE_H_

#include <chrono>
#include <functional>
#include <string>

#include "base/bounded_call.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace hx {

// How long one run waits, in all, for a log file that another program
// holds, before the log channel fails as it does for any other failure.
// Time enough for a scanner or a backup to let go of the file; short
// enough that a log left open in a spreadsheet does not hold up a
// scheduled report for long.  No single write is waited for longer either.
inline constexpr std::chrono::milliseconds kHeldLogWait{10'000};

// One try at appending line and CR LF to the file at path, made through
// files on writer's thread.  A write that has not returned within what is
// left of the run's wait (waited counts it, as AppendWhenFree does) fails
// with RunError 57, and so does every later one: the file system keeps it.
Appended AppendLogLine(BoundedCall& writer, FileSystem& files, const std::string& path,
                       const std::string& line, std::chrono::milliseconds& waited);

// Calls append until it takes the line.  While the file is held, the line
// is tried again after a pause: 50 ms, then each pause twice the one before,
// at most a second.  waited counts the pauses of the whole run against
// kHeldLogWait; once that is spent, a held file raises RunError 70
// ("Permission denied") naming path.
void AppendWhenFree(const std::function<Appended()>& append, Clock& clock,
                    std::chrono::milliseconds& waited, const std::string& path);

}  // namespace hx

#endif  // HX_OUTPUT_LOG_FILE_H_
