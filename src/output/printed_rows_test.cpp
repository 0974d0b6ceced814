#include "output/printed_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace hx {
namespace {

using Rows = std::vector<std::string>;

// The rows of line in a fixed-pitch font of which width characters fit across the paper.
Rows Printed(const std::string& line, size_t width) {
  Rows rows;
  PrintInRows(
      line, [&](std::string_view row) { return std::min(row.size(), width); },
      [&](std::string_view row) { rows.emplace_back(row); });
  return rows;
}

TEST(PrintInRowsTest, WideLinesGoOnAfterTheMargin) {
  EXPECT_EQ(Printed("      abc", 12), Rows{"      abc"});
  EXPECT_EQ(Printed("", 12), Rows{""});
  EXPECT_EQ(Printed("      abcdef", 12), Rows{"      abcdef"});
  EXPECT_EQ(Printed("      abcdefghijklmn", 12),
            (Rows{"      abcdef", "      ghijkl", "      mn"}));
  EXPECT_EQ(Printed("      abcdef      ", 12), Rows{"      abcdef"});  // no row of blanks alone
  EXPECT_EQ(Printed("      abcdef   x", 12), (Rows{"      abcdef", "         x"}));
  // However little fits, every row takes a character beyond its margin.
  EXPECT_EQ(Printed("ab", 0), (Rows{"a", "      b"}));
  EXPECT_EQ(Printed("      abc", 7), (Rows{"      a", "      b", "      c"}));
}

TEST(PrinterTest, FontSizesAreTakenAboveZeroAndBelowTheLimit) {
  for (double points : {0.5, 12.0, 1637.9}) EXPECT_TRUE(Printer::TakesFontSize(points)) << points;
  for (double points : {0.0, -3.0, 1638.0, 1e300, std::nan("")})
    EXPECT_FALSE(Printer::TakesFontSize(points)) << points;
}

}  // namespace
}  // namespace hx
