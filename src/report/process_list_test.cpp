#include "report/process_list.h"

#include <gtest/gtest.h>

#include <map>

#include "comm/controller_link.h"
#include "testing/fake_platform.h"

namespace hx {
namespace {

// Two open controllers (slots 1 and 3) and one that failed to open (slot 2).
// Each command answers what `plant` holds for it; the controller name in
// force at every query is recorded.
struct ProcessListTest : ::testing::Test {
  testing::FakeRun run;
  std::map<std::string, std::pair<int16_t, std::string>> plant;
  std::vector<std::string> queries;

  void SetUp() override {
    InitBuffers(run.rs);
    run.rs.ControllerName = {"", "PUMP1", "MIXER", "TANK", "", "", ""};
    run.rs.ControllerHandle = {0, 11, 0, 33, 0, 0, 0};
    run.vendor.send = [this](int32_t handle, const std::string& command) {
      queries.push_back(std::to_string(handle) + " " + command + " " + run.rs.CtrlName);
      return plant.at(command);
    };
  }
  void Define(int16_t i, int16_t controller, int16_t kind, int16_t digits, int16_t decimals,
              std::string mask, std::pair<int16_t, std::string> answer) {
    Tag& t = run.rs.TagTable[i];
    t = Tag{kind, controller, "Q" + std::to_string(i), digits, decimals, "ON", "OFF", mask, "old"};
    plant[t.TagCommand] = std::move(answer);
    run.rs.LastTag = i;
  }
  std::vector<std::string> Texts(int last) const {
    std::vector<std::string> texts;
    for (int i = 0; i <= last; ++i) texts.push_back(run.rs.TagTable[i].TagText);
    return texts;
  }
};

TEST_F(ProcessListTest, QueriesOpenControllersOnlyAndFormatsByKindAndStatus) {
  Define(1, 1, kKindInteger, 3, 0, "###0", {0, "42"});
  Define(2, 2, kKindInteger, 3, 0, "###0", {0, "1"});  // its controller did not open
  Define(3, 3, kKindFloat, 3, 2, "###0.00", {0, "3.14159"});
  Define(4, 1, kKindText, 5, 0, "", {0, "  HELLO"});
  Define(5, 3, kKindUndefined, 0, 0, "", {0, "9"});
  Define(6, 1, kKindInteger, 5, 0, "#####0", {-1, ""});
  Define(7, 3, kKindInteger, 5, 0, "#####0", {-29, "7"});  // unreachable: no value shown
  Define(8, 1, kKindFloat, 0, 0, "", {-100, ""});
  Process_List(run.rs);

  EXPECT_EQ(queries,
            (std::vector<std::string>{"11 Q1 PUMP1", "33 Q3 TANK", "11 Q4 PUMP1", "33 Q5 TANK",
                                      "11 Q6 PUMP1", "33 Q7 TANK", "11 Q8 PUMP1"}));
  EXPECT_EQ(Texts(8), (std::vector<std::string>{"", " 42", "old", "  3.14", "HEL", "old", "?TAG?",
                                                "?????", "???"}));
  EXPECT_TRUE(run.dialog.messages.empty());
}

TEST_F(ProcessListTest, ControllerSlotOutsideTheTableEndsThePass) {
  Define(1, 1, kKindInteger, 3, 0, "###0", {0, "5"});
  Define(2, 7, kKindInteger, 3, 0, "###0", {0, "6"});
  Define(3, 1, kKindInteger, 3, 0, "###0", {0, "7"});
  Process_List(run.rs);

  EXPECT_EQ(queries, std::vector<std::string>{"11 Q1 PUMP1"});
  EXPECT_EQ(Texts(3), (std::vector<std::string>{"", "  5", "old", "old"}));
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text, "Error: 9  \r\nSubscript out of range in: Process_List");
}

TEST_F(ProcessListTest, AHandleIsOpenWhenItIsNotZero) {
  run.rs.ControllerHandle[1] = -2147483000;  // a pointer-sized handle above 2^31
  Define(1, 1, kKindInteger, 3, 0, "###0", {0, "42"});
  Process_List(run.rs);
  EXPECT_EQ(queries, std::vector<std::string>{"-2147483000 Q1 PUMP1"});
  EXPECT_EQ(run.rs.TagTable[1].TagText, " 42");
}

TEST_F(ProcessListTest, AReplyThatIsNoNumberNeverShowsAsOne) {
  // The library leaves its output alone when the text does not start with a
  // number, as some do: neither a reply without digits nor one it cannot
  // read may show the tag before it.
  run.vendor.stores_without_number = false;
  Define(1, 1, kKindInteger, 3, 0, "###0", {0, "42"});
  Define(2, 1, kKindInteger, 3, 0, "###0", {0, "N/A"});
  Define(3, 1, kKindInteger, 0, 0, "", {0, "RUNNING"});  // ON/OFF display
  Define(4, 3, kKindFloat, 3, 2, "###0.00", {0, "3.5"});
  Define(5, 3, kKindFloat, 3, 2, "###0.00", {0, "x5"});  // a digit: converted as ever
  Define(6, 3, kKindFloat, 3, 2, "###0.00", {0, ""});
  Define(7, 1, kKindText, 5, 0, "", {0, "N/A"});
  Process_List(run.rs);

  EXPECT_EQ(Texts(7), (std::vector<std::string>{"", " 42", "???", "???", "  3.50", "  0.00",
                                                "??????", "N/A"}));
  EXPECT_TRUE(run.rs.AnyFailure);
  EXPECT_TRUE(run.dialog.messages.empty());
}

}  // namespace
}  // namespace hx
