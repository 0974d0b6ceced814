#include "comm/vendor_protocol.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace hx::vendor_protocol {
namespace {

// What a side sends comes back as it was sent, with texts of any bytes and
// numbers at their limits; a message cut short or with a byte too many is
// no message at all.
template <class M, class Decode>
void ExpectRoundTrip(const M& sent, const std::string& message, Decode decode) {
  EXPECT_EQ(decode(message), std::optional<M>(sent));
  EXPECT_EQ(decode(message.substr(0, message.size() - 1)), std::nullopt);
  EXPECT_EQ(decode(message + '\0'), std::nullopt);
}

template <class Results>
void ExpectAnswersRoundTrip(const Results& results) {
  for (const Answer<Results>& answer :
       {Answer<Results>(results), Answer<Results>(RunFailure{INT32_MIN, "LumoCom: \xA5"}),
        Answer<Results>(Overrun{"StringAsLong wrote past the end"})}) {
    ExpectRoundTrip(answer, EncodeAnswer<Results>(answer), DecodeAnswer<Results>);
  }
}

TEST(VendorProtocolTest, EveryCallAndItsAnswerArriveAsSent) {
  const std::string bytes("\0\x01\xff PUMP", 7);
  const Request requests[] = {
      OpenController{bytes},
      SendRece{INT32_MIN, " ^V @@ EMITL86", INT32_MAX, 255},
      SendReceSz{-1, "A", std::string(255, '\0'), 255},
      ErrorAsString{INT16_MIN, std::string(1024, ' '), 1024},
      StringAsLong{"-2147483648"},
      StringAsFloat{""},
  };
  for (const Request& request : requests) {
    SCOPED_TRACE(request.index());
    ExpectRoundTrip(request, EncodeRequest(request), DecodeRequest);
  }
  EXPECT_EQ(DecodeRequest(""), std::nullopt);
  EXPECT_EQ(DecodeRequest("\x07"), std::nullopt);

  ExpectAnswersRoundTrip(OpenController::Results{INT16_MAX, INT32_MIN});
  ExpectAnswersRoundTrip(SendRece::Results{-4, bytes, -1});
  ExpectAnswersRoundTrip(SendReceSz::Results{-29, std::string(256, '\0')});
  ExpectAnswersRoundTrip(ErrorAsString::Results{0, "No error.", 9});
  ExpectAnswersRoundTrip(StringAsLong::Results{-1, INT32_MAX});
  ExpectAnswersRoundTrip(StringAsFloat::Results{0, -3.25e38f});
}

}  // namespace
}  // namespace hx::vendor_protocol
