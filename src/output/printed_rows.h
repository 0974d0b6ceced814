// The rows a printed line takes on paper.  A line wider than the paper is
// not cut: it goes on in further rows, each beginning with the report's left
// margin (Printer::kMargin), so that every character reaches the paper and
// the report's left edge stays straight.  Each printer measures what fits in
// its own font; which rows follow from that measure is decided here, once.
//
// A pure function of its arguments: thread-compatible.

#ifndef HX_OUTPUT_PRINTED_ROWS_H_
#define HX_OUTPUT_PRINTED_ROWS_H_

#include <cstddef>
#include <functional>
#include <string_view>

namespace hx {

// How many characters of row, from its start, fit across the paper.
using RowFitting = std::function<size_t(std::string_view row)>;

// Hands each row of line to print_row, in order, measuring each before it
// is printed.  Every row takes at least one character beyond its margin,
// however little fits; blanks at the end of the line get no row of their own.
void PrintInRows(std::string_view line, const RowFitting& fitting,
                 const std::function<void(std::string_view row)>& print_row);

}  // namespace hx

#endif  // HX_OUTPUT_PRINTED_ROWS_H_
