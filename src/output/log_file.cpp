#include "output/log_file.h"

#include <algorithm>
#include <memory>

#include "base/run_error.h"

namespace hx {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kFirstPause{50};
constexpr milliseconds kLongestPause{1000};

}  // namespace

Appended AppendLogLine(BoundedCall& writer, FileSystem& files, const std::string& path,
                       const std::string& line, milliseconds& waited) {
  // The line ending is CR LF on every platform: the log is read on the
  // plant's Windows machines as well.
  std::string record = line + "\r\n";
  // Whatever is left of the run's wait, and never so little that an
  // ordinary write after a long hold could not make it.
  const milliseconds bound = std::max(kHeldLogWait - waited, kLongestPause);
  // Owned by the call, which may outlive this one when the file system keeps
  // it; the file system itself is the program's, which lives to its end.
  auto appended = std::make_shared<Appended>(Appended::kWhole);
  const auto start = std::chrono::steady_clock::now();
  const bool returned = writer.Run([&files, path, record = std::move(record),
                                    appended] { *appended = files.Append(path, record); },
                                   bound);
  if (!returned) {
    throw RunError(err::kDeviceIo,
                   path + " did not answer within " + std::to_string(bound.count() / 1000) + " s");
  }
  // A write as slow as a pause is a wait on the file too.
  const auto took =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
  if (took >= kFirstPause) waited = std::min(waited + took, kHeldLogWait);
  return *appended;
}

void AppendWhenFree(const std::function<Appended()>& append, Clock& clock, milliseconds& waited,
                    const std::string& path) {
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
