#include "output/printed_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace hx {
namespace {

// Rows of a fixed-pitch font that fits width characters across the paper.
std::vector<std::string> Rows(const std::string& line, size_t width) {
  std::vector<std::string> rows;
  PrintInRows(
      line, [&](std::string_view row) { return std::min(row.size(), width); },
      [&](std::string_view row) { rows.emplace_back(row); });
  return rows;
}

TEST(PrintInRowsTest, WideLinesGoOnAfterTheMargin) {
  struct Case {
    const char* what;
    std::string line;
    size_t width;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"fits", "      abc", 12, {"      abc"}},
      {"empty", "", 12, {""}},
      {"just fits", "      abcdef", 12, {"      abcdef"}},
      {"three rows", "      abcdefghijklmn", 12, {"      abcdef", "      ghijkl", "      mn"}},
      {"trailing blanks", "      abcdef      ", 12, {"      abcdef"}},
      {"blank after blanks", "      abcdef   x", 12, {"      abcdef", "         x"}},
      {"nothing fits", "ab", 0, {"a", "      b"}},
      {"the margin and one", "      abc", 7, {"      a", "      b", "      c"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rows(c.line, c.width), c.rows) << c.what;
}

TEST(PrinterTest, FontSizesAreTakenAboveZeroAndBelowTheLimit) {
  for (double points : {0.5, 12.0, 1637.9}) EXPECT_TRUE(Printer::TakesFontSize(points)) << points;
  for (double points : {0.0, -3.0, 1638.0, 1e300, std::nan("")})
    EXPECT_FALSE(Printer::TakesFontSize(points)) << points;
}

}  // namespace
}  // namespace hx
