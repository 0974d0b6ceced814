// Scratch folders and file reading for the output channels' tests.

#ifndef HX_TESTING_TEST_FILES_H_
#define HX_TESTING_TEST_FILES_H_

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace hx::testing {

// A fresh empty folder, removed with its content at the end of the test.
// Made by name and kept only when it did not exist yet, so that tests
// running in parallel never share one.
struct ScratchFolder {
  std::string path_ = [] {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    std::random_device random;
    for (;;) {
      const std::filesystem::path name = temp / ("hx_out_" + std::to_string(random()));
      if (std::filesystem::create_directory(name)) return name.string();
    }
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
