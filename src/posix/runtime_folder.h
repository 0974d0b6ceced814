// What the display and font libraries read from the environment, set so
// that they have nothing to complain of on standard error, whatever the
// environment of a scheduler, a service or another account left behind: a
// runtime folder of the user's own, and a language tag they understand.

#ifndef HX_POSIX_RUNTIME_FOLDER_H_
#define HX_POSIX_RUNTIME_FOLDER_H_

#include <string>

namespace hx {

// For the lifetime of the object: XDG_RUNTIME_DIR names a folder of the
// user's own when the environment names none ("HX_RPT-<user id>" in TMPDIR or
// /tmp, kept from run to run; or, where something else stands in its place,
// a fresh folder of this run's alone, removed again at the end), and FC_LANG
// a language tag the font library takes when the locale's is none.  Single-threaded; made before
// the toolkit starts.
class ToolkitEnvironment {
 public:
  ToolkitEnvironment();
  ~ToolkitEnvironment();
  ToolkitEnvironment(const ToolkitEnvironment&) = delete;
  ToolkitEnvironment& operator=(const ToolkitEnvironment&) = delete;

  // Why no runtime folder could be had, for the program to say once; empty
  // when one was.
  const std::string& problem() const { return problem_; }

 private:
  std::string run_folder_;  // made for this run alone
  std::string problem_;
};

}  // namespace hx

#endif  // HX_POSIX_RUNTIME_FOLDER_H_
