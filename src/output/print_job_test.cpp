#include "output/print_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "base/run_error.h"

namespace hx {
namespace {

using Done = std::vector<std::string>;

// A device on which every character is one unit wide but 'W', which is
// wider than any paper here; it writes down what it is asked to do, a row
// as its top and its text.
class FakeDevice : public PrintDevice {
 public:
  Page page;
  Done done;

  std::string DeviceName() override { return "FakeQueue"; }
  bool Landscape() override { return false; }
  Page BeginJob(const std::string& name, const std::string& font_name, double points) override {
    std::ostringstream out;
    out << "begin " << name << ", " << font_name << " " << points;
    done.push_back(out.str());
    return page;
  }
  double TextWidth(std::string_view text) override {
    return text.size() + 99.0 * std::count(text.begin(), text.end(), 'W');
  }
  size_t Fitting(std::string_view text, double width) override {
    size_t fit = 0;
    while (fit < text.size() && TextWidth(text.substr(0, fit + 1)) <= width) ++fit;
    return fit;
  }
  void DrawRow(std::string_view text, double top) override {
    done.push_back(std::to_string(static_cast<int>(top)) + " " + std::string(text));
  }
  void NewPage() override { done.push_back("page"); }
  void EndJob() override { done.push_back("end"); }
  void AbandonJob() override { done.push_back("abandon"); }
};

// What the device is asked to do when the steps run on a job whose paper has
// room for width characters across and height rows down.  A step is "font
// NAME", "size POINTS", "line TEXT", "eject" or "end"; a step that fails is
// written down as its error number.
Done Asked(double width, double height, const std::vector<std::string>& steps) {
  FakeDevice device;
  device.page = {width, height, 1};
  PrintJob job(device);
  for (const std::string& step : steps) {
    const std::string text = step.substr(std::min<size_t>(step.size(), 5));  // after "line "
    try {
      if (step.starts_with("font ")) {
        job.SetFontName(text);
      } else if (step.starts_with("size ")) {
        job.SetFontSize(std::stod(text));
      } else if (step.starts_with("line ")) {
        job.PrintLine(text);
      } else {
        step == "eject" ? job.EjectPage() : job.EndJob();
      }
    } catch (const RunError& e) {
      device.done.push_back("error " + std::to_string(e.number()));
    }
  }
  return device.done;
}

TEST(PrintJobTest, RowsPagesAndTheJobsStart) {
  const std::string begin = "begin HX_RPT, Courier New 12";
  struct Case {
    struct {
      double width, height;
    } paper;
    std::vector<std::string> steps;
    Done done;
  } cases[] = {
      // A line wider than the paper goes on after the margin.
      {{12, 9}, {"line       abc", "line "}, {begin, "0       abc", "1 "}},
      {{12, 9}, {"line       abcdef"}, {begin, "0       abcdef"}},
      {{12, 9},
       {"line       abcdefghijklmn"},
       {begin, "0       abcdef", "1       ghijkl", "2       mn"}},
      {{12, 9}, {"line       abcdef      "}, {begin, "0       abcdef"}},  // no row of blanks alone
      {{12, 9}, {"line       abcdef   x"}, {begin, "0       abcdef", "1          x"}},
      // However little fits, every row takes a character beyond its margin.
      {{12, 9}, {"line WW"}, {begin, "0 W", "1       W"}},
      {{7, 9}, {"line       abc"}, {begin, "0       a", "1       b", "2       c"}},
      // A row that would pass the bottom, and an eject, start a new page.
      {{12, 3},
       {"line a", "line       bbbbbbcccccc", "line d", "eject", "line e"},
       {begin, "0 a", "1       bbbbbb", "2       cccccc", "page", "0 d", "page", "0 e"}},
      {{12, 1}, {"line a", "line b"}, {begin, "0 a", "page", "0 b"}},
      // The job begins at the first line or eject, in the font chosen by then,
      // and is ended once; a size no printer draws keeps the last good one.
      {{12, 3}, {"size 10", "end"}, {}},
      {{12, 3},
       {"font Arial", "size 0.5", "line a", "size 9", "line b", "end", "end"},
       {"begin HX_RPT, Arial 0.5", "0 a", "1 b", "end"}},
      {{12, 3},
       {"size 1637.9", "size 0", "size -3", "size 1638", "size 1e300", "size nan", "eject"},
       {"begin HX_RPT, Courier New 1637.9", "page"}},
      // A font too large for the margin and one character, or for one row.
      {{6, 3}, {"line a", "end"}, {begin, "abandon", "error 482"}},
      {{12, 0.5}, {"eject", "end"}, {begin, "abandon", "error 482"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Asked(c.paper.width, c.paper.height, c.steps), c.done)
        << ::testing::PrintToString(c.steps);
}

}  // namespace
}  // namespace hx
