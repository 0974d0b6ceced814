#include "run/report_error.h"

#include <gtest/gtest.h>

#include "testing/fake_platform.h"

namespace hx {
namespace {

TEST(ErrorTextTest, JoinsThePiecesExactly) {
  struct Case {
    int32_t number;
    std::string message;
    std::string label;
    std::string expected;
  };
  const Case cases[] = {
      {6, "", "Do This", "Error: 6  \r\nOverflow in: Do This"},
      {0, "", "FormLoad", "Error: 0  \r\nApplication-defined or object-defined error in: FormLoad"},
      {-5, "", "IsNum", "Error:-5  \r\nApplication-defined or object-defined error in: IsNum"},
      {76, "Could not write to: /var/log/x/DAILY.LOG", "LogPrint",
       "Error: 76  Could not write to: /var/log/x/DAILY.LOG\r\nPath not found in: LogPrint"},
      {482, "Could not print to: ", "LinePrint",
       "Error: 482  Could not print to: \r\nPrinter error in: LinePrint"},
      {9, "", "SendRecv", "Error: 9  \r\nSubscript out of range in: SendRecv"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ErrorText(c.number, c.message, c.label), c.expected) << c.number;
}

TEST(ErrorTextTest, EveryNumberTheProgramRaisesHasItsOwnDescription) {
  const std::string general(ErrorDescription(99999));
  for (int32_t n : {err::kOverflow, err::kSubscript, err::kOutOfMemory, err::kFileNotFound,
                    err::kPathNotFound, err::kPathFileAccess, err::kDiskFull, err::kBadFileName,
                    err::kBadFileMode, err::kPermissionDenied, err::kDeviceIo,
                    err::kDllFunctionNotFound, err::kPrinterError, err::kInternal})
    EXPECT_NE(std::string(ErrorDescription(n)), general) << n;
}

TEST(ReportErrorTest, ShowsCriticalDialogAndMarksTheRunFailed) {
  testing::FakeRun run;
  ReportError(run.rs, 53, "", "FormLoad");
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].flags, 16);
  EXPECT_EQ(run.dialog.messages[0].caption, "HX_RPT Error Handler");
  EXPECT_EQ(run.dialog.messages[0].text, "Error: 53  \r\nFile not found in: FormLoad");
  EXPECT_TRUE(run.rs.AnyFailure);
}

class ThrowingDialog : public MessageDialog {
 public:
  void ShowMessage(const std::string&, int16_t, const std::string&) override {
    throw RunError(err::kInternal);
  }
};

TEST(ReportErrorTest, NeverFailsEvenWhenTheDialogDoes) {
  testing::FakeRun run;
  ThrowingDialog dialog;
  Platform p{run.printer, run.screen, dialog, run.vendor, run.clock, run.files, run.notes, "/x"};
  ReportState rs(p);
  EXPECT_NO_THROW(ReportError(rs, 6, "", "Do This"));
  EXPECT_TRUE(rs.AnyFailure);
}

TEST(TrapTest, ReportsOnceAbandonsTheRestAndReturnsNormally) {
  testing::FakeRun run;
  int reached = 0;
  bool completed = Trap(run.rs, "Process_List", [&] {
    ++reached;
    Add16(32767, 1);
    ++reached;
  });
  EXPECT_FALSE(completed);
  EXPECT_EQ(reached, 1);
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text, "Error: 6  \r\nOverflow in: Process_List");
}

TEST(TrapTest, MapsForeignExceptionsAndRunsTheFailureHookFirst) {
  testing::FakeRun run;
  std::vector<std::string> order;
  TrapWith(
      run.rs, "LogPrint", [] { throw std::bad_alloc(); },
      [&](int32_t number) {
        order.push_back("hook " + std::to_string(number));
        return std::string("Could not write to: x");
      });
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(order, std::vector<std::string>{"hook 7"});
  EXPECT_EQ(run.dialog.messages[0].text,
            "Error: 7  Could not write to: x\r\nOut of memory in: LogPrint");
  EXPECT_TRUE(Trap(run.rs, "IsNum", [] {}));
  EXPECT_EQ(run.dialog.messages.size(), 1u);
}

// The dialog shows only the number's text; what failed exactly (a path, the
// print server's answer) goes to the run's notes for whoever reads the run.
TEST(TrapTest, DetailGoesToTheNotesOnly) {
  struct Case {
    RunError error;
    std::vector<std::string> expected_notes;
    std::string expected_text;
  };
  const Case cases[] = {
      {RunError(err::kFileNotFound, "no /x/HX_RPT.INI"),
       {"no /x/HX_RPT.INI"},
       "Error: 53  \r\nFile not found in: FormLoad"},
      {RunError(err::kOverflow), {}, "Error: 6  \r\nOverflow in: FormLoad"},
  };
  for (const Case& c : cases) {
    testing::FakeRun run;
    Trap(run.rs, "FormLoad", [&] { throw c.error; });
    EXPECT_EQ(run.notes.notes, c.expected_notes);
    ASSERT_EQ(run.dialog.messages.size(), 1u);
    EXPECT_EQ(run.dialog.messages[0].text, c.expected_text);
  }
}

TEST(CheckedTest, SixteenBitRangeAndTableSlots) {
  EXPECT_EQ(CheckedInt16(-32768), -32768);
  EXPECT_EQ(Sub16(-32763, 5), -32768);
  EXPECT_THROW(Sub16(-32764, 5), RunError);
  EXPECT_THROW(CheckedInt16(40000), RunError);
  std::array<int, 7> table{};
  EXPECT_NO_THROW(At(table, 6));
  try {
    At(table, 7);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), 9);
  }
  EXPECT_THROW(At(table, -1), RunError);
}

}  // namespace
}  // namespace hx
