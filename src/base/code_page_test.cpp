#include "base/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hx {
namespace {

TEST(CodePageTest, EveryByteGoesToUtf8AndBackUnchanged) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (int number : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
    const CodePage& page = *SingleByteCodePage(number);
    const std::string utf8 = Utf8FromProgramText(all, page);
    EXPECT_EQ(CountUtf8(utf8).invalid, 0u) << number;
    EXPECT_EQ(ProgramTextFromUtf8(utf8, page), all) << number;
  }
}

TEST(CodePageTest, TheCharactersPeopleWrite) {
  struct Case {
    int code_page;
    std::string program_text, utf8;
  };
  const Case cases[] = {
      {1252,
       "\xB0"
       "C \xB5S/cm m\xB3/h caf\xE9",
       "\u00B0C \u00B5S/cm m\u00B3/h caf\u00E9"},
      {1252, "\x80 \x96 \x97 \x92 \x93\x94 \x85 \x99",
       "\u20AC \u2013 \u2014 \u2019 \u201C\u201D \u2026 \u2122"},
      {1252, "\x81\x8D\x8F\x90\x9D",
       "\u0081\u008D\u008F\u0090\u009D"},  // unassigned: their own code
      {1250, "ZA\xA3OGA \x8A\xEF\xF8", "ZA\u0141OGA \u0160\u010F\u0159"},
      {1251, "\xD1\xCC\xC5\xCD\xC0 \xB8 \x88", "\u0421\u041C\u0415\u041D\u0410 \u0451 \u20AC"},
  };
  for (const Case& c : cases) {
    const CodePage& page = *SingleByteCodePage(c.code_page);
    EXPECT_EQ(Utf8FromProgramText(c.program_text, page), c.utf8) << c.utf8;
    EXPECT_EQ(ProgramTextFromUtf8(c.utf8, page), c.program_text) << c.utf8;
  }
}

TEST(CodePageTest, WhatTheCodePageLacksOrIsNoUtf8BecomesAQuestionMark) {
  struct Case {
    int code_page;
    std::string utf8, program_text;
    bool well_formed;
    std::vector<char32_t> lost;
  };
  const Case cases[] = {
      {1252, "\u2192 \u03A9 \U0001F600", "? ? ?", true, {U'\u2192', U'\u03A9', U'\U0001F600'}},
      {1251, "ZA\u0141OGA", "ZA?OGA", true, {U'\u0141'}},
      {1250, "\u0421", "?", true, {U'\u0421'}},
      {1252, "a\xC3", "a?", false, {U'\uFFFD'}},                                // cut short
      {1252, "\xC0\x80", "??", false, {U'\uFFFD', U'\uFFFD'}},                  // overlong NUL
      {1252, "\xED\xA0\x80", "???", false, {U'\uFFFD', U'\uFFFD', U'\uFFFD'}},  // a surrogate
      {1252,
       "\xFF"
       "b",
       "?b",
       false,
       {U'\uFFFD'}},
  };
  for (const Case& c : cases) {
    std::vector<LostCharacter> lost;
    EXPECT_EQ(ProgramTextFromUtf8(c.utf8, *SingleByteCodePage(c.code_page), &lost), c.program_text)
        << c.utf8;
    EXPECT_EQ(CountUtf8(c.utf8).invalid == 0, c.well_formed) << c.utf8;
    ASSERT_EQ(lost.size(), c.lost.size()) << c.utf8;
    for (size_t k = 0; k < lost.size(); ++k) {
      EXPECT_EQ(lost[k].character, c.lost[k]) << c.utf8;
      EXPECT_EQ(c.program_text[lost[k].at], '?') << c.utf8;
    }
  }
}

TEST(CodePageTest, TheCodePageOfALocaleIsTheOneWindowsGivesIt) {
  struct Case {
    const char* locale;
    int code_page;
  };
  const Case cases[] = {
      {"ru_RU.UTF-8", 1251},    {"pl_PL.UTF-8", 1250}, {"cs-CZ", 1250},        {"uk_UA", 1251},
      {"el_GR.UTF-8", 1253},    {"tr_TR", 1254},       {"he_IL.UTF-8", 1255},  {"ar_EG", 1256},
      {"lt_LT.UTF-8", 1257},    {"vi_VN", 1258},       {"th_TH.UTF-8", 874},   {"de_DE@euro", 1252},
      {"sr_RS.UTF-8", 1251},    {"sr_RS@latin", 1250}, {"sr-Latn-RS", 1250},   {"uz-Latn-UZ", 1254},
      {"uz_UZ@cyrillic", 1251}, {"ja_JP.UTF-8", 932},  {"zh_CN.GB18030", 936}, {"zh-Hant-TW", 950},
      {"zh_HK", 950},           {"C.UTF-8", 1252},     {"POSIX", 1252},        {"", 1252},
  };
  for (const Case& c : cases) EXPECT_EQ(AnsiCodePageOfLocale(c.locale), c.code_page) << c.locale;
}

TEST(CodePageTest, ASystemCodePageOfMoreThanOneByteGivesWayToTheLanguages) {
  struct Case {
    int system_code_page;
    const char* locale;
    int chosen;
    bool noted;
  };
  const Case cases[] = {
      {1251, "ru-RU", 1251, false},
      {1250, "en-US", 1250, false},  // the system decides, not the user
      {65001, "ru-RU", 1251, true},  // Windows' UTF-8 option
      {65001, "en-GB", 1252, true},
      {932, "ja-JP", 1252, true},  // Japanese has no single-byte code page
      {936, "zh-CN", 1252, true},
  };
  for (const Case& c : cases) {
    const CodePageChoice choice = ChooseCodePage(c.system_code_page, c.locale);
    EXPECT_EQ(choice.code_page->number(), c.chosen) << c.system_code_page << " " << c.locale;
    EXPECT_EQ(!choice.note.empty(), c.noted) << choice.note;
  }
  EXPECT_EQ(ChooseCodePage(65001, "ru-RU").note,
            "the system's ANSI code page 65001 is not a single-byte code page; text is held in "
            "Windows-1251, the code page of the user's language (ru-RU)");
}

}  // namespace
}  // namespace hx
