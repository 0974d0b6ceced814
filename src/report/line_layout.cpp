#include "report/line_layout.h"

#include <string_view>

#include "base/text.h"

namespace hx {

LineLayout LayOutLine(const std::string& line, const std::vector<TemplateField>& fields,
                      const std::vector<std::string>& texts) {
  LineLayout layout;
  std::string& out = layout.line;
  layout.starts.assign(fields.size(), 0);
  if (fields.empty()) {
    out = line;
    return layout;
  }
  constexpr size_t kNoField = static_cast<size_t>(-1);
  // Which field's text stands in each column of out.
  std::vector<size_t> owner;
  auto append = [&](std::string_view text, size_t by) {
    out += text;
    owner.resize(out.size(), by);
  };
  auto pad_to = [&](int length) {
    if (out.size() < static_cast<size_t>(length))
      append(std::string(static_cast<size_t>(length) - out.size(), ' '), kNoField);
  };
  auto copy_literals = [&](int from, int to) {
    for (int j = from; j < to; ++j) {
      const char c = line[static_cast<size_t>(j - 1)];
      if (out.size() < static_cast<size_t>(j)) {
        append(std::string_view(&c, 1), kNoField);
        continue;
      }
      const size_t by = owner[static_cast<size_t>(j - 1)];
      if (by == kNoField) continue;
      // A dropped blank joins the covered pieces on either side of it; the
      // ends of a piece are trimmed below.
      LineLayout::Covered* last = layout.covered.empty() ? nullptr : &layout.covered.back();
      if (last != nullptr && last->by == by && last->last == j - 1)
        last->last = j;
      else
        layout.covered.push_back({by, j, j});
    }
  };

  int next = 1;
  for (size_t k = 0; k < fields.size(); ++k) {
    const TemplateField& field = fields[k];
    copy_literals(next, field.column);
    const FieldKind kind = MeaningOf(field.code).kind;
    if (kind == FieldKind::kTag || kind == FieldKind::kDate || kind == FieldKind::kTime) {
      const std::string& text = texts[k];
      if (!text.empty() && out.size() >= static_cast<size_t>(field.column)) {
        const size_t by = owner[static_cast<size_t>(field.column - 1)];
        if (by != kNoField) layout.inside.push_back({k, by, static_cast<int>(out.size()) + 1});
      }
      pad_to(field.column - 1);
      if (!text.empty()) layout.starts[k] = static_cast<int>(out.size()) + 1;
      append(text, k);
      if (kind == FieldKind::kTag) pad_to(field.end);
    }
    next = field.end + 1;
  }
  copy_literals(next, static_cast<int>(line.size()) + 1);

  std::erase_if(layout.covered, [&](LineLayout::Covered& piece) {
    while (piece.first <= piece.last && IsBlank(line[static_cast<size_t>(piece.first - 1)]))
      ++piece.first;
    while (piece.last >= piece.first && IsBlank(line[static_cast<size_t>(piece.last - 1)]))
      --piece.last;
    return piece.first > piece.last;
  });
  return layout;
}

}  // namespace hx
