// The stand-in libraries as the program meets them: built, placed beside the
// program and called through the run-time loader.

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "comm/vendor_loader.h"
#include "ui/run_error.h"

namespace hx {
namespace {

namespace fs = std::filesystem;

// Each test gets a plant file of its own: the library rereads the plant when
// an open finds the environment naming another file.
class StandInTest : public ::testing::Test {
 protected:
  StandInTest() : loader_(HX_PROGRAM_DIR) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              ("hx_standin_" + std::to_string(::getpid()) + "_" + info->name());
    fs::create_directories(folder_);
    journal_ = folder_ / "journal.txt";
    setenv("LUMOCOM_JOURNAL", journal_.c_str(), 1);
  }
  ~StandInTest() override {
    unsetenv("LUMOCOM_JOURNAL");
    unsetenv("LUMOCOM_SIM");
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Plant(const std::string& text) {
    const fs::path sim = folder_ / "plant.sim";
    std::ofstream(sim, std::ios::binary) << text;
    setenv("LUMOCOM_SIM", sim.c_str(), 1);
  }
  std::pair<int16_t, int32_t> Open(std::string name) {
    int32_t handle = -99;
    name.push_back('\0');
    const int16_t status = loader_.T31MdsOpenController(&handle, name.data());
    return {status, handle};
  }
  struct Reply {
    int16_t status;
    std::string text;
    int32_t length;
  };
  Reply Send(int32_t handle, std::string command, int32_t size = 255) {
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    int32_t length = -99;
    const auto n = static_cast<int32_t>(command.size());
    command.push_back('\0');
    const int16_t status =
        loader_.T31MdsSendRece(handle, command.data(), n, buffer.data(), size, &length);
    return {status, std::string(buffer.data(), std::clamp(length, 0, size)), length};
  }
  int16_t Clear(int32_t handle) {
    char command[] = "A";
    std::vector<char> buffer(256, '\0');
    return loader_.T31MdsSendReceSz(handle, command, buffer.data(), 255);
  }
  std::vector<std::string> Journal() const {
    std::ifstream in(journal_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  VendorLoader loader_;
  fs::path folder_;
  fs::path journal_;
};

const char kPlant[] =
    "; a test plant\r\n"
    "\n"
    "[PUMPS]\n"
    "^COUNT=42\n"
    "*TITLE=  North  station \n"
    "}LEVELS(12)=3.5\n"
    "{NAMES(0)=FIRST\n"
    "~PUMP=1\n"
    "^BROKEN=!-29\n"
    "^ASLEEP=!-4,7\n"
    "^BANG=!oops\n"
    "[QUIET]\n"
    "@open=-29\n"
    "[SLOW]\n"
    "@latency_ms=40\n"
    "^X=1\n";

TEST_F(StandInTest, QueriesOfEveryKindAnswerFromThePlant) {
  Plant(kPlant);
  ASSERT_EQ(Open("PUMPS"), (std::pair<int16_t, int32_t>{0, 1}));
  struct Case {
    std::string command;
    int16_t status;
    std::string reply;
  };
  const Case cases[] = {
      {" ^COUNT @@ EMITL86", 0, "42"},
      {" ^COUNT T@@F EMITL86", 0, "42"},
      {" *TITLE PRINT$", 0, "  North  station "},
      {" 12 }LEVELS TABLE@ EMITL86", 0, "3.5"},
      {" 0 {NAMES $TABLE@ PRINT$", 0, "FIRST"},
      {" ~PUMP UNLOCK DIG@I RELOCK EMITL86", 0, "1"},
      {" ~PUMP UNLOCK ANL@F RELOCK EMITL86", 0, "1"},
      {" ^BROKEN @@ EMITL86", -29, ""},
      {" ^BANG @@ EMITL86", 0, "!oops"},
      // Unknown symbols and commands the report program never composes.
      {" ^NOTHERE @@ EMITL86", -1, ""},
      {" 11 }LEVELS TABLE@ EMITL86", -1, ""},
      {" ^COUNT PRINT$", -1, ""},
      {" }LEVELS TABLE@ EMITL86", -1, ""},
      {" 12 }LEVELS $TABLE@ PRINT$", -1, ""},
      {" ^ @@ EMITL86", -1, ""},
      {"", -1, ""},
      {"A", -1, ""},
  };
  for (const Case& c : cases) {
    const Reply r = Send(1, c.command);
    EXPECT_EQ(r.status, c.status) << c.command;
    EXPECT_EQ(r.text, c.reply) << c.command;
    EXPECT_EQ(r.length, static_cast<int32_t>(c.reply.size())) << c.command;
  }
  EXPECT_EQ(Open("pumps"), (std::pair<int16_t, int32_t>{-2, 0}));  // names compare exactly
  EXPECT_EQ(Send(0, " ^COUNT @@ EMITL86").status, -3);
  EXPECT_EQ(Clear(-5), -3);
  setenv("LUMOCOM_SIM", (folder_ / "missing.sim").c_str(), 1);
  EXPECT_EQ(Open("PUMPS"), (std::pair<int16_t, int32_t>{-2, 0}));
}

TEST_F(StandInTest, SymbolWantingAClearAnswersOnlyAfterOne) {
  Plant(kPlant);
  Open("PUMPS");
  Clear(1);  // the clear after the open comes before the symbol asked
  EXPECT_EQ(Send(1, " ^ASLEEP @@ EMITL86").status, -4);
  EXPECT_EQ(Send(1, " ^ASLEEP @@ EMITL86").status, -4);
  EXPECT_EQ(Clear(1), 0);
  const Reply r = Send(1, " ^ASLEEP @@ EMITL86");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.text, "7");
}

TEST_F(StandInTest, ControllerSettings) {
  Plant(
      "[A]\n@puc=-100\n^X=1\n"
      "[B]\n@query=-29\n^X=1\n"
      "[C]\n@replylen=300\n^X=abc\n"
      "[D]\n@replylen=-1\n^X=abc\n"
      "[E]\n@open=-29\n"
      "[F]\n^L=" +
      std::string(300, 'L') + "\n");
  EXPECT_EQ(Open("A"), (std::pair<int16_t, int32_t>{0, 1}));
  EXPECT_EQ(Clear(1), -100);
  EXPECT_EQ(Send(2, " ^X @@ EMITL86").status, -29);
  EXPECT_EQ(Send(3, " ^X @@ EMITL86").length, 300);
  EXPECT_EQ(Send(3, " ^X @@ EMITL86").text, std::string("abc") + std::string(252, '\0'));
  EXPECT_EQ(Send(4, " ^X @@ EMITL86").length, -1);
  EXPECT_EQ(Open("E"), (std::pair<int16_t, int32_t>{-29, 0}));
  const Reply cut = Send(6, " ^L @@ EMITL86");
  EXPECT_EQ(cut.length, 255);
  EXPECT_EQ(cut.text, std::string(255, 'L'));
  EXPECT_EQ(Send(6, " ^L @@ EMITL86", 10).text, std::string(10, 'L'));
}

TEST_F(StandInTest, LatencyDelaysEachExchange) {
  Plant(kPlant);
  const auto start = std::chrono::steady_clock::now();
  Open("SLOW");
  Clear(3);
  Send(3, " ^X @@ EMITL86");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
}

TEST_F(StandInTest, JournalRecordsWhatReachedTheControllers) {
  Plant(kPlant);
  Open("PUMPS");
  Clear(1);
  Send(1, " ^COUNT @@ EMITL86");
  Send(1, std::string(" ^A\nB\0", 6));
  Open("NOBODY");
  EXPECT_EQ(Journal(),
            (std::vector<std::string>{"open PUMPS", "puc 1", "send 1 18  ^COUNT @@ EMITL86",
                                      "send 1 6  ^A\\x0AB", "open NOBODY"}));
}

TEST_F(StandInTest, AnyPlantFileAndAnyCommandAreSurvived) {
  // Pieces of real plant files and commands, shuffled with stray bytes, reach
  // the corners a purely random text would not.  (No latency: the test would crawl.)
  const std::vector<std::string> pieces = {
      "[P]",       "[",    "]",      "\n",         "\r\n",    "=",
      "!",         "!-4,", "!-29",   "@open",      "@puc",    "@query",
      "@replylen", "-1",   "0",      "2147483648", "-999999", "^X",
      "}T(1)",     " ",    ";",      "@@",         "EMITL86", "TABLE@",
      "}T",        "1",    "PRINT$", "*S",         "\t",      std::string(1, '\0')};
  std::mt19937 random(4);
  auto text = [&](int length) {
    std::string t;
    for (int i = 0; i < length; ++i) {
      if (random() % 4 == 0)
        t += static_cast<char>(random() % 256);
      else
        t += pieces[random() % pieces.size()];
    }
    return t;
  };
  for (int round = 0; round < 200; ++round) {
    const fs::path sim = folder_ / ("random" + std::to_string(round) + ".sim");
    std::ofstream(sim, std::ios::binary) << "[P]\n" << text(200);
    setenv("LUMOCOM_SIM", sim.c_str(), 1);
    const int32_t handle = Open("P").second;
    for (int query = 0; query < 5; ++query) {
      const std::string command = text(6);
      Send(handle, command);
      Send(handle, command, 0);
      Send(handle, command, 1);
      Clear(handle);
    }
  }
}

TEST_F(StandInTest, ExamplePlantAnswersTheExampleDefinitionsCommands) {
  setenv("LUMOCOM_SIM", HX_EXAMPLE_SIM, 1);
  struct Case {
    std::string controller, command, reply;
  };
  const Case cases[] = {
      {"PUMPHOUSE", " ^RUNHOURS @@ EMITL86", "18342"},
      {"PUMPHOUSE", " ~SUCTION UNLOCK ANL@F RELOCK EMITL86", "1.254"},
      {"FILTERS", " 2 }TURBIDITY TABLE@ EMITL86", "0.157"},
      {"RESERVOIR", " 0 {ALARMS $TABLE@ PRINT$", "LOW CHLORINE RESIDUAL"},
  };
  for (const Case& c : cases) {
    const auto [status, handle] = Open(c.controller);
    ASSERT_EQ(status, 0) << c.controller;
    const Reply r = Send(handle, c.command);
    EXPECT_EQ(r.status, 0) << c.command;
    EXPECT_EQ(r.text, c.reply) << c.command;
  }
}

TEST_F(StandInTest, ErrorTextsNameTheStatusWithinTheBuffer) {
  auto text = [&](int16_t code, int32_t size) {
    std::vector<char> buffer(static_cast<size_t>(size), ' ');
    int32_t length = -99;
    loader_.T31ErrorAsString(code, buffer.data(), size, &length);
    return std::string(buffer.data(), static_cast<size_t>(std::clamp(length, 0, size)));
  };
  EXPECT_EQ(text(0, 1024), "No error.");
  EXPECT_EQ(text(-4, 1024), "The controller needs a power-up clear.");
  EXPECT_EQ(text(-29, 1024), "The controller does not respond.");
  EXPECT_EQ(text(-100, 1024), "The communication port is in use.");
  EXPECT_EQ(text(-7, 1024), "Communication error -7.");
  EXPECT_EQ(text(0, 4), "No e");
}

TEST_F(StandInTest, DecimalTextConvertsToNumbers) {
  struct Case {
    std::string text;
    int32_t as_long;
    float as_float;
  };
  const Case cases[] = {
      {"42", 42, 42.0f},
      {"  -17", -17, -17.0f},
      {"\t+3", 3, 3.0f},
      {"412.37", 412, 412.37f},
      {"-0.5", 0, -0.5f},
      {".25", 0, 0.25f},
      {"1.5e3", 1, 1500.0f},
      {"2E-2x", 2, 0.02f},
      {"7e", 7, 7.0f},
      {"12abc", 12, 12.0f},
      {"", 0, 0.0f},
      {"ON", 0, 0.0f},
      {"- 5", 0, 0.0f},
      {"2147483647", INT32_MAX, 2147483647.0f},
      {"2147483648", INT32_MAX, 2147483648.0f},
      {"-2147483648", INT32_MIN, -2147483648.0f},
      {"-99999999999999999999", INT32_MIN, -1e20f},
      {"1e39", 1, FLT_MAX},
      {"-1e999999999999", -1, -FLT_MAX},
      {"1e-999999", 1, 0.0f},
      {"0." + std::string(400, '0') + "1e405", 0, 1e4f},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    text.push_back('\0');
    int32_t l = -99;
    float f = -99;
    loader_.StringAsLong(&l, text.data());
    loader_.StringAsFloat(&f, text.data());
    EXPECT_EQ(l, c.as_long) << c.text;
    EXPECT_FLOAT_EQ(f, c.as_float) << c.text;
  }
  float negative_zero = 1;
  char minus_zero[] = "-0.0";
  loader_.StringAsFloat(&negative_zero, minus_zero);
  EXPECT_TRUE(negative_zero == 0 && std::signbit(negative_zero));
}

int32_t ErrorNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const RunError& e) {
    return e.number();
  }
  return 0;
}

// In a fresh process: once the stand-in has been loaded, the system would
// hand it out again by its bare name, and a missing library would not be missing.
TEST(VendorLoaderDeathTest, LibraryThatCannotBeLoadedIsFileNotFoundEveryTime) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        VendorLoader nowhere("/nonexistent-folder");
        int32_t handle = 0;
        char name[] = "X";
        auto open = [&] { nowhere.T31MdsOpenController(&handle, name); };
        const int32_t first = ErrorNumberOf(open);
        std::_Exit(first == ErrorNumberOf(open) ? first : 1);
      },
      ::testing::ExitedWithCode(err::kFileNotFound), "");
}

TEST(VendorLoaderTest, FunctionMissingFromALoadedLibraryIsDllFunctionNotFound) {
  VendorLoader lacking(HX_LACKING_DIR);
  int32_t handle = 0;
  char name[] = "X";
  EXPECT_EQ(ErrorNumberOf([&] { lacking.T31MdsOpenController(&handle, name); }), 0);
  EXPECT_EQ(ErrorNumberOf([&] { lacking.T31MdsSendReceSz(1, name, name, 0); }),
            err::kDllFunctionNotFound);
}

}  // namespace
}  // namespace hx
