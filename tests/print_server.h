// A private print server for one test: a PDF queue that is the default
// destination, started in a temporary folder and stopped with the object.

#ifndef HX_TESTS_PRINT_SERVER_H_
#define HX_TESTS_PRINT_SERVER_H_

#include <string>

namespace hx::testing {

class PrintServer {
 public:
  enum class Orientation { kPortrait, kLandscape };
  explicit PrintServer(Orientation orientation = Orientation::kPortrait);
  ~PrintServer();
  PrintServer(const PrintServer&) = delete;
  PrintServer& operator=(const PrintServer&) = delete;

  // The value for CUPS_SERVER.
  std::string socket() const { return dir_ + "/cups.sock"; }
  void Stop();
  // The server keeps its connections but answers nothing until it is stopped.
  void Pause();
  // Waits until the queue is empty, then returns the last job's text as
  // pdftotext -layout reads it (a form feed ends each page); "" when no job came.
  std::string PrintedText();
  // The left edge, in points, of the first word on the first page.
  double FirstWordLeft();
  int Pages();
  // Whether the first printed word runs along the paper's long edge: the
  // page is printed in landscape.
  bool LinesRunAlongTheLongEdge();

 private:
  void Close();

  std::string dir_;
  bool running_ = false;
};

}  // namespace hx::testing

#endif  // HX_TESTS_PRINT_SERVER_H_
