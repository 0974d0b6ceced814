#include "comm/controller_link.h"

#include <gtest/gtest.h>

#include <climits>

#include "testing/fake_platform.h"

namespace hx {
namespace {

using Calls = std::vector<std::string>;
using Reply = std::pair<int16_t, std::string>;

const std::string kCaption = "Communication Error Message";

// A run with its buffers prepared, the window on screen and PUMP1 addressed.
struct LinkRun : testing::FakeRun {
  LinkRun() {
    InitBuffers(rs);
    rs.SHOWIT = true;
    rs.CtrlName = "PUMP1";
  }
  // The query answers come from answers, one per exchange, in turn.
  void Answer(std::vector<Reply> answers) {
    vendor.send = [answers, n = size_t{0}](int32_t, const std::string&) mutable {
      return answers.at(std::min(n++, answers.size() - 1));
    };
  }
  // The calls that reached the controllers, without the error-text look-ups.
  Calls Exchanges() const {
    Calls exchanges;
    for (const auto& call : vendor.calls)
      if (!call.starts_with("errtext")) exchanges.push_back(call);
    return exchanges;
  }
};

TEST(GetHandleTest, UnknownControllerIsReportedWithTheLibraryTextAndGetsNoPowerUpClear) {
  LinkRun run;
  run.vendor.open = [](const std::string&) { return std::pair<int16_t, int32_t>{-2, 0}; };
  run.vendor.error_text = [](int16_t) { return std::string("Controller unknown."); };

  EXPECT_EQ(GetHandle(run.rs), 0);
  EXPECT_EQ(run.vendor.calls, (Calls{"open PUMP1", "errtext -2"}));
  ASSERT_EQ(run.dialog.messages.size(), 1u);
  EXPECT_EQ(run.dialog.messages[0].text, "Controller 'PUMP1' Not Found.\rController unknown.");
  EXPECT_EQ(run.dialog.messages[0].flags, 0);
  EXPECT_EQ(run.dialog.messages[0].caption, kCaption);
  EXPECT_TRUE(run.rs.AnyFailure);
}

TEST(GetHandleTest, OneClearFollowsEveryOpenAndTheHandleIsKeptWhateverItAnswers) {
  struct Case {
    int16_t puc_status;
    Calls messages;
  };
  const Case cases[] = {
      {0, {}},
      {-29, {"Controller 'PUMP1' is not responding to PowerUpClear.\rstatus -29"}},
      {-100, {"Comm Port is in use!.\rstatus -100"}},
      {-7, {}},  // other statuses are only passed on
  };
  for (const Case& c : cases) {
    LinkRun run;
    run.vendor.open = [](const std::string&) { return std::pair<int16_t, int32_t>{0, 7}; };
    run.vendor.puc = [&](int32_t) { return c.puc_status; };

    EXPECT_EQ(GetHandle(run.rs), 7) << c.puc_status;
    EXPECT_EQ(run.Exchanges(), (Calls{"open PUMP1", "puc 7 A"})) << c.puc_status;
    EXPECT_EQ(run.dialog.Texts(), c.messages) << c.puc_status;
    EXPECT_EQ(run.rs.AnyFailure, c.puc_status != 0) << c.puc_status;
  }
}

TEST(SendRecvTest, StatusesGetTheirOwnMessagesAndFailuresMarkTheRun) {
  const std::string command = " ^LEVEL @@ EMITL86";
  struct Case {
    std::vector<Reply> answers;
    int16_t puc_status;
    int16_t status;
    std::string reply;
    Calls sends_and_clears;
    Calls messages;
    bool failed;
  };
  const std::string send = "send 3 " + command;
  const std::string not_sent = "Error while sending  ^LEVEL @@ EMITL86 to 'PUMP1'";
  const std::string silent = "Controller 'PUMP1' is not responding.\rstatus -29";
  const std::string clear_silent =
      "Controller 'PUMP1' is not responding to PowerUpClear.\rstatus -29";
  const Case cases[] = {
      {{{0, "4.52"}}, 0, 0, "4.52", {send}, {}, false},
      {{{-29, ""}}, 0, -29, "", {send}, {silent}, true},
      // The comm-port text belongs to the power-up clear; a query gets the generic one.
      {{{-100, ""}}, 0, -100, "", {send}, {not_sent + "\rstatus -100"}, true},
      {{{-1, "?"}}, 0, -1, "?", {send}, {not_sent + "\rstatus -1"}, true},
      // A controller that wants a clear gets one, and the repeat's answer stands, silently;
      // the run still counts as doubtful for the exit status.
      {{{-4, ""}, {0, "4.60"}}, 0, 0, "4.60", {send, "puc 3 A", send}, {}, true},
      {{{-4, ""}, {-29, ""}}, 0, -29, "", {send, "puc 3 A", send}, {}, true},
      {{{-4, ""}, {-4, ""}}, 0, -4, "", {send, "puc 3 A", send}, {}, true},
      // A failed clear is the only message, and the query is not repeated.
      {{{-4, "partial"}}, -29, -29, "partial", {send, "puc 3 A"}, {clear_silent}, true},
  };
  for (const Case& c : cases) {
    LinkRun run;
    run.Answer(c.answers);
    run.vendor.puc = [&](int32_t) { return c.puc_status; };
    std::string reply = "stale";

    EXPECT_EQ(SendRecv(run.rs, 3, command, reply), c.status) << c.answers[0].first;
    EXPECT_EQ(reply, c.reply) << c.answers[0].first;
    EXPECT_EQ(run.Exchanges(), c.sends_and_clears) << c.answers[0].first;
    EXPECT_EQ(run.dialog.Texts(), c.messages) << c.answers[0].first;
    EXPECT_EQ(run.rs.AnyFailure, c.failed) << c.answers[0].first;
    // The window on screen is repainted after every exchange, however long each took.
    EXPECT_EQ(run.screen.events_processed, static_cast<int>(c.sends_and_clears.size()))
        << c.answers[0].first;
  }
}

TEST(SendRecvTest, RepeatAfterClearReusesTheFirstExchangesBuffer) {
  LinkRun run;
  run.Answer({{-4, "HELLO"}, {0, ""}});
  run.vendor.reported_reply_length = 5;
  std::string reply;

  EXPECT_EQ(SendRecv(run.rs, 3, " *NAME PRINT$", reply), 0);
  EXPECT_EQ(reply, "HELLO");
}

TEST(SendRecvTest, ReportedLengthIsClampedToTheBuffer) {
  const std::string long_reply(300, 'x');
  struct Case {
    int32_t reported;
    size_t expected_length;
  };
  const Case cases[] = {{256, 255}, {255, 255}, {INT32_MAX, 255}, {3, 3}, {0, 0}, {INT32_MIN, 0}};
  for (const Case& c : cases) {
    LinkRun run;
    run.Answer({{0, long_reply}});
    run.vendor.reported_reply_length = c.reported;
    std::string reply = "stale";

    SendRecv(run.rs, 1, " ^X @@ EMITL86", reply);
    EXPECT_EQ(reply, long_reply.substr(0, c.expected_length)) << c.reported;
    EXPECT_EQ(run.vendor.reply_sizes, (std::vector<int32_t>{255})) << c.reported;
  }
}

TEST(CommErrorTest, MessageIsCutAtSixtyAndTheLibraryTextAtItsReportedLength) {
  struct Case {
    std::optional<int32_t> reported;
    std::string library_text;
  };
  const std::string library = "Library says no.";
  const Case cases[] = {
      {std::nullopt, library},
      {4, "Libr"},
      {-3, ""},
      {5000, library + std::string(1024 - library.size(), ' ')},  // the blanks it was given
  };
  const std::string message = std::string(59, 'm') + "XY";
  for (const Case& c : cases) {
    LinkRun run;
    run.vendor.error_text = [&](int16_t) { return library; };
    run.vendor.reported_text_length = c.reported;

    CommError(run.rs, -29, message);
    ASSERT_EQ(run.dialog.messages.size(), 1u);
    EXPECT_EQ(run.dialog.messages[0].text, std::string(59, 'm') + "X\r" + c.library_text);
  }
}

TEST(CommErrorTest, WithoutTheWindowNothingIsFetchedOrShownButFailuresStillCount) {
  LinkRun run;
  run.rs.SHOWIT = false;
  run.Answer({{-29, ""}});
  std::string reply;

  EXPECT_EQ(GetHandle(run.rs), 0);
  EXPECT_EQ(SendRecv(run.rs, 1, " ^X @@ EMITL86", reply), -29);
  EXPECT_EQ(run.Exchanges(), run.vendor.calls);
  EXPECT_TRUE(run.dialog.messages.empty());
  EXPECT_TRUE(run.rs.AnyFailure);
  EXPECT_EQ(run.screen.events_processed, 0);
}

TEST(ControllerLinkTest, LibraryFailuresReachTheTrapOfTheRoutineThatCalled) {
  {
    // The clear's own trap catches its failure; the open goes on with the handle.
    LinkRun run;
    run.vendor.open = [](const std::string&) { return std::pair<int16_t, int32_t>{0, 4}; };
    run.vendor.puc = [](int32_t) -> int16_t { throw RunError(err::kFileNotFound, "LumoCom"); };
    EXPECT_EQ(GetHandle(run.rs), 4);
    EXPECT_EQ(run.dialog.Texts(), (Calls{"Error: 53  \r\nFile not found in: SendPUC"}));
  }
  {
    // A query the library could not exchange, here the repeat after a clear
    // that succeeded, has no status, and is no success.
    LinkRun run;
    run.vendor.send = [answers = 0](int32_t, const std::string&) mutable -> Reply {
      if (answers++ == 0) return {-4, ""};
      throw RunError(err::kDllFunctionNotFound, "LumoCom");
    };
    std::string reply;
    EXPECT_EQ(SendRecv(run.rs, 1, " ^X @@ EMITL86", reply), kStatusNoExchange);
    EXPECT_EQ(run.dialog.Texts(),
              (Calls{"Error: 453  \r\nSpecified DLL function not found in: SendRecv"}));
  }
  {
    // A missing error-text library fails the message, under the caller's label.
    LinkRun run;
    run.Answer({{-29, ""}});
    run.vendor.error_text = [](int16_t) -> std::string {
      throw RunError(err::kDllFunctionNotFound, "LumoErr");
    };
    std::string reply;
    EXPECT_EQ(SendRecv(run.rs, 1, " ^X @@ EMITL86", reply), -29);
    EXPECT_EQ(run.dialog.Texts(),
              (Calls{"Error: 453  \r\nSpecified DLL function not found in: SendRecv"}));
  }
}

}  // namespace
}  // namespace hx
