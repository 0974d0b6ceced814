// Scratch folders and file reading for the output channels' tests.

#ifndef HX_OUTPUT_TEST_FILES_H_
#define HX_OUTPUT_TEST_FILES_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace hx::testing {

// A fresh empty folder, removed with its content at the end of the test.
struct ScratchFolder {
  std::string path_ = [] {
    std::string name = (std::filesystem::temp_directory_path() / "hx_out_XXXXXX").string();
    return std::string(mkdtemp(name.data()));
  }();
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
};

inline std::string ReadFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// txtShow's content split at the CR LF that ends every inserted line.
inline std::vector<std::string> ScreenLines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

}  // namespace hx::testing

#endif  // HX_OUTPUT_TEST_FILES_H_
