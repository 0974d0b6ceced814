// Scratch folders and file reading for the output channels' tests.

#ifndef HX_TESTING_TEST_FILES_H_
#define HX_TESTING_TEST_FILES_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hx::testing {

// A fresh empty folder, removed with its content at the end of the test.
struct ScratchFolder {
  std::string path_ = [] {
    std::string name = (std::filesystem::temp_directory_path() / "hx_out_XXXXXX").string();
    return std::string(mkdtemp(name.data()));
  }();
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }
};

inline std::string ReadFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

}  // namespace hx::testing

#endif  // HX_TESTING_TEST_FILES_H_
