#include "base/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace hx {
namespace {

TEST(CodePageTest, EveryByteGoesToUtf8AndBackUnchanged) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Utf8FromProgramText(all);
  EXPECT_TRUE(IsUtf8(utf8));
  EXPECT_EQ(ProgramTextFromUtf8(utf8), all);
}

TEST(CodePageTest, TheCharactersPeopleWrite) {
  struct Case {
    std::string program_text, utf8;
  };
  const Case cases[] = {
      {"\xB0"
       "C",
       "\u00B0C"},
      {"\xB5S/cm", "\u00B5S/cm"},
      {"m\xB3/h", "m\u00B3/h"},
      {"caf\xE9", "caf\u00E9"},
      {"\x80 \x96 \x97 \x92 \x93\x94 \x85 \x99",
       "\u20AC \u2013 \u2014 \u2019 \u201C\u201D \u2026 \u2122"},
      {"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},  // unassigned: their own code
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8FromProgramText(c.program_text), c.utf8) << c.utf8;
    EXPECT_EQ(ProgramTextFromUtf8(c.utf8), c.program_text) << c.utf8;
  }
}

TEST(CodePageTest, WhatTheCodePageLacksOrIsNoUtf8BecomesAQuestionMark) {
  struct Case {
    std::string utf8, program_text;
    bool well_formed;
  };
  const Case cases[] = {
      {"\u2192 \u03A9 \U0001F600", "? ? ?", true},  // arrow, omega, emoji
      {"a\xC3", "a?", false},                       // cut short
      {"\xC0\x80", "??", false},                    // overlong NUL
      {"\xED\xA0\x80", "???", false},               // a surrogate
      {"\xF4\x90\x80\x80", "????", false},          // beyond U+10FFFF
      {"\xFF"
       "b",
       "?b", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgramTextFromUtf8(c.utf8), c.program_text) << c.utf8;
    EXPECT_EQ(IsUtf8(c.utf8), c.well_formed) << c.utf8;
  }
}

}  // namespace
}  // namespace hx
