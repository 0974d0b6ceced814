// The stand-in libraries as the program meets them: built, placed beside the
// program and called through the run-time loader.  What reaches them from a
// whole run (journal, recovery, messages) is checked by the program's own
// tests; these check the plant file, the commands and the conversions.

#include <gtest/gtest.h>

#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/run_error.h"
#include "comm/vendor_loader.h"

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
  }
  ~StandInTest() override {
    unsetenv("LUMOCOM_SIM");
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void Plant(const std::string& text, const std::string& file = "plant.sim") {
    std::ofstream(folder_ / file, std::ios::binary) << text;
    setenv("LUMOCOM_SIM", (folder_ / file).c_str(), 1);
  }
  std::pair<int16_t, int32_t> Open(const std::string& name) {
    int32_t handle = -99;
    const int16_t status = loader_.T31MdsOpenController(&handle, WritableCopy(name).data());
    return {status, handle};
  }
  struct Reply {
    int16_t status;
    std::string text;
    int32_t length;
  };
  Reply Send(int32_t handle, const std::string& command, int32_t size = 255) {
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    int32_t length = -99;
    const int16_t status =
        loader_.T31MdsSendRece(handle, WritableCopy(command).data(),
                               static_cast<int32_t>(command.size()), buffer.data(), size, &length);
    return {status, std::string(buffer.data(), std::clamp(length, 0, size)), length};
  }
  int16_t Clear(int32_t handle) {
    std::vector<char> buffer(256, '\0');
    return loader_.T31MdsSendReceSz(handle, WritableCopy("A").data(), buffer.data(), 255);
  }

  VendorLoader loader_;
  fs::path folder_;
};

TEST_F(StandInTest, QueriesOfEveryKindAnswerFromThePlant) {
  Plant(
      "; a test plant\r\n\n[PUMPS]\n^COUNT=42\n*TITLE=  North  station \n}LEVELS(12)=3.5\n"
      "{NAMES(0)=FIRST\n~PUMP=1\n^BROKEN=!-29\n^BANG=!oops\n");
  ASSERT_EQ(Open("PUMPS"), (std::pair<int16_t, int32_t>{0, 1}));
  struct Case {
    std::string command;
    int16_t status;
    std::string reply;
  };
  const Case cases[] = {
      {" ^COUNT @@ EMITL86", 0, "42"},
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
      {" ^ @@ EMITL86", -1, ""},
      {"", -1, ""},
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

TEST_F(StandInTest, ControllerSettings) {
  Plant(
      "[A]\n@puc=-100\n^X=1\n"
      "[B]\n@query=-29\n^X=1\n"
      "[C]\n@replylen=300\n^X=abc\n"
      "[D]\n@replylen=-1\n^X=abc\n"
      "[E]\n@open=-29\n"
      "[F]\n^L=" +
      std::string(300, 'L') +
      "\n"
      "[SLOW]\n@latency_ms=40\n^X=1\n");
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

  const auto start = std::chrono::steady_clock::now();
  Open("SLOW");
  Clear(7);
  Send(7, " ^X @@ EMITL86");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
}

TEST_F(StandInTest, AnyPlantFileAndAnyCommandAreSurvived) {
  // Pieces of real plant files and commands, shuffled with stray bytes, reach
  // the corners a purely random text would not.
  const std::vector<std::string> pieces = {
      "[P]",   "[",      "]",     "\n",      "\r\n",      "=",          "!",
      "!-4,",  "!-29",   "@open", "-1",      "@puc",      "0",          "^X",
      "}T(1)", "@query", " ",     ";",       "@replylen", "@@",         "}T",
      "1",     "*S",     "\t",    "EMITL86", "TABLE@",    "2147483648", std::string(1, '\0')};
  std::mt19937 random(4);
  auto text = [&](int length) {
    std::string t;
    for (int i = 0; i < length; ++i)
      t += random() % 4 == 0 ? std::string(1, static_cast<char>(random() % 256))
                             : pieces[random() % pieces.size()];
    return t;
  };
  for (int round = 0; round < 200; ++round) {
    Plant("[P]\n" + text(200), "random" + std::to_string(round) + ".sim");
    const int32_t handle = Open("P").second;
    for (int query = 0; query < 5; ++query) {
      const std::string command = text(6);
      for (int32_t size : {255, 1, 0}) Send(handle, command, size);
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

TEST_F(StandInTest, DecimalTextConvertsToNumbers) {
  struct Case {
    std::string text;
    int32_t as_long;
    float as_float;
  };
  const Case cases[] = {
      {"  -17", -17, -17.0f},
      {"\t+3", 3, 3.0f},
      {".25", 0, 0.25f},
      {"2E-2x", 2, 0.02f},
      {"7e", 7, 7.0f},
      {"", 0, 0.0f},
      {"- 5", 0, 0.0f},
      {"2147483648", INT32_MAX, 2147483648.0f},
      {"-99999999999999999999", INT32_MIN, -1e20f},
      {"-1e999999999999", -1, -FLT_MAX},
      {"1e-999999", 1, 0.0f},
      {"0." + std::string(400, '0') + "1e405", 0, 1e4f},
  };
  for (const Case& c : cases) {
    int32_t l = -99;
    float f = -99;
    loader_.StringAsLong(&l, WritableCopy(c.text).data());
    loader_.StringAsFloat(&f, WritableCopy(c.text).data());
    EXPECT_EQ(l, c.as_long) << c.text;
    EXPECT_FLOAT_EQ(f, c.as_float) << c.text;
  }
  float negative_zero = 1;
  loader_.StringAsFloat(&negative_zero, WritableCopy("-0.0").data());
  EXPECT_TRUE(negative_zero == 0 && std::signbit(negative_zero));
}

TEST(VendorLoaderTest, FunctionMissingFromALoadedLibraryIsDllFunctionNotFound) {
  VendorLoader lacking(HX_LACKING_DIR);
  int32_t handle = 0;
  char name[] = "X";
  EXPECT_EQ(lacking.T31MdsOpenController(&handle, name), -2);
  try {
    lacking.T31MdsSendReceSz(1, name, name, 0);
    ADD_FAILURE() << "no failure";
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), err::kDllFunctionNotFound);
  }
}

}  // namespace
}  // namespace hx
