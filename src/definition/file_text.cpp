#include "definition/file_text.h"

#include <string_view>
#include <utility>

namespace hx {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be;
}

// The column of byte at in line, counting characters: bytes, or in UTF-8
// the bytes that start a character.
size_t ColumnOf(std::string_view line, size_t at, bool utf8) {
  size_t column = 1;
  for (size_t k = 0; k < at; ++k)
    if (!utf8 || (static_cast<unsigned char>(line[k]) & 0xC0) != 0x80) ++column;
  return column;
}

}  // namespace

FileText LookAtText(std::istream& in) {
  FileText text;
  char head[3] = {};
  in.read(head, sizeof head);
  const std::string_view start(head, static_cast<size_t>(in.gcount()));
  const auto marked_as = [&](TextEncoding encoding, size_t mark_size) {
    text.encoding = encoding;
    text.mark_size = mark_size;
  };
  if (start.starts_with("\xEF\xBB\xBF")) {
    marked_as(TextEncoding::kUtf8, 3);
  } else if (start.starts_with("\xFF\xFE")) {
    marked_as(TextEncoding::kUtf16Le, 2);
  } else if (start.starts_with("\xFE\xFF")) {
    marked_as(TextEncoding::kUtf16Be, 2);
  }
  const bool marked = text.mark_size > 0;
  in.clear();
  in.seekg(static_cast<std::streamoff>(text.mark_size));

  // A line at a time, so that a file of any size needs no more memory than its longest line.
  LineSource lines(in, text.encoding, Windows1252());
  std::string line;
  for (int n = 1; lines.NextAsWritten(line); ++n) {
    if (const size_t nul = line.find('\0'); nul != std::string::npos && text.nul.line == 0)
      text.nul = {n, ColumnOf(line, nul, marked)};
    for (size_t k = 0; k < line.size(); ++k) {
      const auto c = static_cast<unsigned char>(line[k]);
      if (c == 0 || c == '\t' || c == '\f' || (c >= ' ' && c != 0x7F)) continue;
      if (text.controls++ == 0) {
        text.first_control = {n, ColumnOf(line, k, marked)};
        text.first_control_character = line[k];
      }
    }
    if (marked) continue;
    const Utf8Count count = CountUtf8(line);
    if (count.invalid > 0 && text.not_utf8 == 0)
      text.first_not_utf8 = {n, count.first_invalid_column};
    text.utf8_sequences += count.sequences;
    text.not_utf8 += count.invalid;
  }
  if (!marked && text.not_utf8 == 0 && text.utf8_sequences > 0) text.encoding = TextEncoding::kUtf8;
  in.clear();
  in.seekg(0);
  return text;
}

LineSource::LineSource(std::istream& in, TextEncoding encoding, const CodePage& page)
    : in_(*in.rdbuf()), encoding_(encoding), page_(page) {}

bool LineSource::Next(std::string& line) {
  lost_.clear();
  if (!NextAsWritten(line)) return false;
  if (encoding_ != TextEncoding::kCodePage) line = ProgramTextFromUtf8(line, page_, &lost_);
  return true;
}

bool LineSource::NextAsWritten(std::string& line) {
  line.clear();
  std::optional<char32_t> c = NextCharacter();
  if (!c) return false;
  for (; c && *c != '\r' && *c != '\n'; c = NextCharacter()) {
    if (IsUtf16(encoding_)) {
      line += Utf8OfCharacter(*c);
    } else {
      line += static_cast<char>(*c);
    }
  }
  end_ = !c ? LineEnd::kNone : *c == '\n' ? LineEnd::kLf : LineEnd::kCr;
  if (c == U'\r') {
    pending_ = NextCharacter();
    if (pending_ == U'\n') {
      pending_.reset();
      end_ = LineEnd::kCrLf;
    }
  }
  return true;
}

std::optional<char32_t> LineSource::NextUnit() {
  using Traits = std::char_traits<char>;
  if (pending_unit_) return std::exchange(pending_unit_, std::nullopt);
  const int a = in_.sbumpc();
  if (a == Traits::eof()) return std::nullopt;
  if (!IsUtf16(encoding_)) return static_cast<char32_t>(a);
  const int b = in_.sbumpc();
  if (b == Traits::eof()) return kReplacement;  // half a code unit at the end
  return static_cast<char32_t>(encoding_ == TextEncoding::kUtf16Le ? a | (b << 8) : (a << 8) | b);
}

std::optional<char32_t> LineSource::NextCharacter() {
  if (pending_) return std::exchange(pending_, std::nullopt);
  const std::optional<char32_t> unit = NextUnit();
  if (!unit || !IsUtf16(encoding_) || *unit < 0xD800 || *unit > 0xDFFF) return unit;
  if (*unit >= 0xDC00) return kReplacement;  // the second half of a pair, alone
  // Read ahead for the second half; what stands there instead is the next character.
  const std::optional<char32_t> low = NextUnit();
  if (low && *low >= 0xDC00 && *low <= 0xDFFF)
    return 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00);
  pending_unit_ = low;
  return kReplacement;
}

}  // namespace hx
