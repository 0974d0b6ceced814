#include "output/printed_rows.h"

#include <algorithm>
#include <string>

#include "platform/platform.h"

namespace hx {

void PrintInRows(std::string_view line, const RowFitting& fitting,
                 const std::function<void(std::string_view row)>& print_row) {
  std::string row(line);  // the first row brings its own margin
  for (size_t least = 1;; least = Printer::kMargin.size() + 1) {
    const size_t fit = std::max(fitting(row), least);
    if (fit >= row.size()) {
      print_row(row);
      return;
    }
    print_row(std::string_view(row).substr(0, fit));
    std::string rest = row.substr(fit);
    if (rest.find_first_not_of(' ') == std::string::npos) return;
    row = std::string(Printer::kMargin) + rest;
  }
}

}  // namespace hx
