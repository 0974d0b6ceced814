#include <unistd.h>

#include <algorithm>

#include "standin_system.h"

namespace standin {

const char kSeparator = '/';

std::string ExecutableFolder() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string folder(path, static_cast<size_t>(n));
  const size_t slash = folder.rfind('/');
  return slash == std::string::npos ? "." : folder.substr(0, std::max<size_t>(slash, 1));
}

// A helper started as libraries start one: a copy of the process.
void StartHelper(int seconds) {
  if (fork() != 0) return;
  for (int i = seconds; i > 0; --i) {
    if (write(1, kHelperLine, sizeof kHelperLine - 1) < 0 ||
        write(2, kHelperLine, sizeof kHelperLine - 1) < 0) {
      // Nobody listens; the helper lives its time all the same.
    }
    sleep(1);
  }
  _exit(0);
}

}  // namespace standin
