#include "tests/print_server.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <stdexcept>

#include "tests/program_folder.h"

namespace hx::testing {

namespace {

std::string Capture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
  return out;
}

std::string Script() {
  return SourceDir() + "/tests/private_cups.sh";
}

}  // namespace

PrintServer::PrintServer(Orientation orientation) {
  // The server's socket path must stay short, so the folder sits right in /tmp.
  char tmpl[] = "/tmp/hxc.XXXXXX";
  if (mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = tmpl;
  const std::string mode = orientation == Orientation::kLandscape ? " landscape" : "";
  running_ = true;
  if (Shell("bash " + Script() + " start " + dir_ + mode + " 2>/dev/null") != 0) {
    // A server that came up but could not be set up would outlive the test.
    Close();
    throw std::runtime_error("private print server did not start");
  }
}

PrintServer::~PrintServer() {
  Close();
}

void PrintServer::Close() {
  Stop();
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

void PrintServer::Stop() {
  if (running_) Shell("bash " + Script() + " stop " + dir_);
  running_ = false;
}

void PrintServer::Pause() {
  if (running_) Shell("kill -STOP $(cat " + dir_ + "/cupsd.pid)");
}

std::string PrintServer::PrintedText() {
  if (running_) Shell("bash " + Script() + " wait " + dir_);
  if (!std::filesystem::exists(dir_ + "/out.prn")) return {};
  return Capture("pdftotext -layout " + dir_ + "/out.prn - 2>/dev/null");
}

double PrintServer::FirstWordLeft() {
  PrintedText();
  std::string html = Capture("pdftotext -bbox -f 1 -l 1 " + dir_ + "/out.prn - 2>/dev/null");
  std::smatch m;
  if (!std::regex_search(html, m, std::regex("<word xMin=\"([0-9.]+)\""))) return -1;
  return std::stod(m[1]);
}

bool PrintServer::LinesRunAlongTheLongEdge() {
  PrintedText();
  // The first word of the job, in the frame a viewer shows the page in.
  const std::string html = Capture("pdftotext -bbox " + dir_ + "/out.prn - 2>/dev/null");
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\"");
  std::smatch w;
  if (!std::regex_search(html, w, word)) return false;
  const bool word_wide = std::stod(w[3]) - std::stod(w[1]) > std::stod(w[4]) - std::stod(w[2]);
  // The paper as shown: the page's size, turned by its rotation.
  const std::string info = Capture("pdfinfo " + dir_ + "/out.prn 2>/dev/null");
  std::smatch size, rot;
  if (!std::regex_search(info, size, std::regex("Page size:\\s+([0-9.]+) x ([0-9.]+)")) ||
      !std::regex_search(info, rot, std::regex("Page rot:\\s+([0-9]+)")))
    return false;
  bool page_wide = std::stod(size[1]) > std::stod(size[2]);
  if (std::stoi(rot[1]) % 180 != 0) page_wide = !page_wide;
  return word_wide == page_wide;
}

int PrintServer::Pages() {
  PrintedText();
  std::string info = Capture("pdfinfo " + dir_ + "/out.prn 2>/dev/null");
  std::smatch m;
  if (!std::regex_search(info, m, std::regex("Pages:\\s+([0-9]+)"))) return 0;
  return std::stoi(m[1]);
}

}  // namespace hx::testing
