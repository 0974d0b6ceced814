#include "posix/runtime_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <vector>

#include "platform/system_locale.h"

namespace hx {

namespace {

// The system's folder for temporary files: TMPDIR, else /tmp; without a
// trailing separator.
std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// The user's runtime folder's name, kept from run to run.
std::string UsersFolderName() {
  return TemporaryFolder() + "/HX_RPT-" + std::to_string(geteuid());
}

// A folder private to the user that runs the program, where the display
// libraries find it on every run of that user, made when missing.  It is
// taken only when it is a real folder (not a link) owned by the user and
// open to nobody else; a folder left open by the user is closed again.
// Empty when no such folder can be had.
std::string PrivateRuntimeFolder() {
  const std::string folder = UsersFolderName();

  // Opened without following a link, and judged by what was opened, so that
  // nothing put in its place between the look and the use is taken instead.
  const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = open(folder.c_str(), flags);
  if (fd < 0 && errno == ENOENT && (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST))
    fd = open(folder.c_str(), flags);
  if (fd < 0) return {};
  struct stat st {};
  const bool ours = fstat(fd, &st) == 0 && st.st_uid == geteuid() &&
                    ((st.st_mode & 07777) == 0700 || fchmod(fd, 0700) == 0);
  close(fd);
  return ours ? folder : std::string();
}

// The language tag of locale (as LC_ALL, LC_CTYPE or LANG give it) in a
// form the font library takes: the locale itself when it is one ("ru_RU.UTF-8",
// "C"), else its language ("ru"), else "en".
std::string FontLanguage(const std::string& locale) {
  // language, then a territory or script, then a character set and a modifier.
  static const std::regex kTag(
      R"(([A-Za-z]{2,3})([_-][A-Za-z0-9]{2,8})?(\.[A-Za-z0-9_-]+)?(@[A-Za-z0-9]+)?)");
  if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C."))
    return locale;
  if (std::regex_match(locale, kTag)) return locale;
  std::smatch m;
  if (std::regex_search(locale, m, std::regex("^[A-Za-z]{2,3}(?![A-Za-z])"))) return m.str();
  return "en";
}

}  // namespace

ToolkitEnvironment::ToolkitEnvironment() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') {
    std::string folder = PrivateRuntimeFolder();
    if (folder.empty()) {
      // Someone else's folder, or a link, stands where the user's belongs:
      // this run makes one of its own (mkdtemp makes it open to the user alone).
      std::string pattern = UsersFolderName() + ".XXXXXX";
      std::vector<char> name(pattern.begin(), pattern.end());
      name.push_back('\0');
      if (mkdtemp(name.data()) != nullptr) {
        folder = run_folder_ = name.data();
      } else {
        problem_ = "no runtime folder of its own in " + TemporaryFolder() + " (" +
                   std::strerror(errno) + ")";
      }
    }
    if (!folder.empty()) setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  }
  const char* fc_lang = std::getenv("FC_LANG");
  const std::string locale = fc_lang != nullptr && *fc_lang != '\0'
                                 ? std::string(fc_lang)
                                 : ReadSystemLocale().user_locale;
  const std::string language = FontLanguage(locale);
  if (language != locale) setenv("FC_LANG", language.c_str(), 1);
}

ToolkitEnvironment::~ToolkitEnvironment() {
  std::error_code ignored;
  if (!run_folder_.empty()) std::filesystem::remove_all(run_folder_, ignored);
}

}  // namespace hx
