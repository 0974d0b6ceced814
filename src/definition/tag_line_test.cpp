#include "definition/tag_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "testing/fake_platform.h"

namespace hx {
namespace {

// The definition fields of slot index after the lines, in one comparable
// line, or the error that stopped them.
std::string Slot(const std::vector<std::string>& lines, int index) {
  testing::FakeRun run;
  try {
    for (const std::string& line : lines) ReadTagLine(run.rs, line);
  } catch (const RunError& e) {
    return "error " + std::to_string(e.number());
  }
  const Tag& t = run.rs.TagTable[static_cast<size_t>(index)];
  return std::to_string(t.TagKind) + " " + std::to_string(t.TagController) + " [" + t.TagCommand +
         "] " + std::to_string(t.TagDigits) + " " + std::to_string(t.TagDecimals) + " [" +
         t.TagTrueText + "] [" + t.TagFalseText + "] [" + t.TagFormat + "]";
}

TEST(ReadTagLineTest, BuildsCommandAndMaskForEachType) {
  const std::pair<std::string, std::string> cases[] = {
      {"5 1 IV COUNT 4 0", "0 1 [ ^COUNT @@ EMITL86] 4 0 [] [] [####0]"},
      {"5,1,fv,TEMP,2,1", "1 1 [ ^TEMP @@ EMITL86] 2 1 [] [] [##0.0]"},
      {"5 1 FV FLOW 3 0", "1 1 [ ^FLOW @@ EMITL86] 3 0 [] [] [###0.]"},
      {"5 2 DP PUMP ON OFF", "0 2 [ ~PUMP UNLOCK DIG@I RELOCK EMITL86] 0 0 [ON] [OFF] []"},
      {"5 1 TV TIMER1 5 2", "1 1 [ ^TIMER1 T@@F EMITL86] 5 2 [] [] [#####0.00]"},
      {"5 1 SV Op 16 NOBODY", "2 1 [ *Op PRINT$] 16 0 [] [NOBODY] []"},
      {"5 1 AP Psi 2.5 1.5 more", "1 1 [ ~Psi UNLOCK ANL@F RELOCK EMITL86] 2 2 [] [] [##0.00]"},
      {"5 1 IT LEVELS 3 0 12", "0 1 [ 12 }LEVELS TABLE@ EMITL86] 3 0 [] [] [###0]"},
      {"5 1 ST NAMES 0 0", "2 1 [ 0 {NAMES $TABLE@ PRINT$] 0 0 [] [] []"},
      {"5 1 IT LEVELS 3", "0 1 [ }LEVELS TABLE@ EMITL86] 3 0 [] [] [###0]"},
      {"5 3 ft Ph 1 1 0x2", "1 3 [ 0x2 }Ph TABLE@ EMITL86] 1 1 [] [] [#0.0]"},  // as written
      {"5 1 FV X HIGH 2", "1 1 [ ^X @@ EMITL86] 0 2 [HIGH] [] [0.00]"},
      {"401 1 IV X 1 1", "error 9"},
      {"40000 1 IV X 1 1", "error 6"},
      {"5 99999 IV X 1 1", "error 6"},
      {"5 1 FV X 1 1e9", "error 6"},
  };
  for (const auto& [line, slot] : cases) EXPECT_EQ(Slot({line}, 5), slot) << line;
}

TEST(ReadTagLineTest, StopsAtTheFirstFieldNotAcceptedAndKeepsTheRest) {
  const std::string earlier = "13 4 IV OLD 2 0";
  const std::string rest = " [ ^OLD @@ EMITL86] 2 0 [] [] [##0]";
  const std::pair<std::string, std::string> cases[] = {
      {"13 1 XX NAME 1 1", "-1 1" + rest}, {"13 A IV X 1 1", "-1 4" + rest},
      {"13 1 SV 1ABC 0 0", "2 1" + rest},  {"13", "-1 4" + rest},
      {"; 13 1 IV X 1 1", "0 4" + rest},   {"-13 1 IV X 1 1", "0 4" + rest},
  };
  for (const auto& [line, slot] : cases) EXPECT_EQ(Slot({earlier, line}, 13), slot) << line;
}

TEST(ReadTagLineTest, AnIdenticalLineContinuesWhereTheLastOneStopped) {
  // The first copy stops before the "9", the second starts there.
  const std::string line = "5 1 IV COUNT 4 0 9";
  EXPECT_EQ(Slot({line, line}, 9), "-1 0 [] 0 0 [] [] []");
  // With another line in between, the same text is read from its start.
  EXPECT_EQ(Slot({line, "6 1 IV OTHER 1 0", line}, 9), "0 0 [] 0 0 [] [] []");
}

TEST(ReadTagLineTest, LastTagIsTheHighestIndexWhateverTheOrder) {
  testing::FakeRun run;
  for (const char* line : {"3 1 IV A 1 0", "7 1 IV B 1 0", "5 1 IV C 1 0", "x 1 IV D 1 0"})
    ReadTagLine(run.rs, line);
  EXPECT_EQ(run.rs.LastTag, 7);
}

}  // namespace
}  // namespace hx
