#include "host/vendor_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/run_error.h"
#include "comm/vendor_protocol.h"
#include "testing/fake_vendor.h"

namespace hx {
namespace {

namespace vp = vendor_protocol;

// The fake library, which can also be made to write past the end of the
// text a conversion is given.
class Library : public testing::FakeVendor {
 public:
  size_t overrun_by = 0;
  int16_t StringAsLong(int32_t* value, char* text) override {
    if (overrun_by > 0) text[std::strlen(text) + overrun_by] = 'X';
    return FakeVendor::StringAsLong(value, text);
  }
};

// Each request reaches the library as the call it names, with writable
// buffers of the sizes the program gave and their content; the answer
// carries back what the library returned and left in them.
TEST(VendorHostTest, EachRequestIsTheCallItNamesAndItsAnswerWhatTheLibraryDid) {
  const std::string unreadable =
      vp::Encode(uint8_t(vp::Outcome::kRunError),
                 vp::RunFailure{err::kInternal, "HX_VENDOR: a request it cannot read"});
  struct Case {
    const char* name;
    std::string request;
    std::function<void(Library&)> setup;
    std::vector<std::string> calls;
    std::string answer;
  };
  const Case cases[] = {
      {"open",
       vp::EncodeRequest(vp::OpenController{"PUMP"}),
       [](Library& l) { l.open = [](const std::string&) { return std::make_pair(0, 7); }; },
       {"open PUMP"},
       vp::EncodeAnswer<vp::OpenController::Results>(vp::OpenController::Results{0, 7})},
      {"query",
       vp::EncodeRequest(vp::SendRece{7, " ^V", 3, 5}),
       [](Library& l) {
         l.send = [](int32_t, const std::string&) { return std::make_pair(0, std::string("42")); };
       },
       {"send 7  ^V"},
       vp::EncodeAnswer<vp::SendRece::Results>(
           vp::SendRece::Results{0, std::string("42\0\0\0\0", 6), 2})},
      {"power-up clear",
       vp::EncodeRequest(vp::SendReceSz{7, "A", std::string(3, 'r'), 3}),
       [](Library& l) { l.puc = [](int32_t) -> int16_t { return -29; }; },
       {"puc 7 A"},
       vp::EncodeAnswer<vp::SendReceSz::Results>(
           vp::SendReceSz::Results{-29, std::string("rrr\0", 4)})},
      {"error text",
       vp::EncodeRequest(vp::ErrorAsString{-29, "      ", 6}),
       [](Library& l) { l.error_text = [](int16_t) { return std::string("gone"); }; },
       {"errtext -29"},
       vp::EncodeAnswer<vp::ErrorAsString::Results>(
           vp::ErrorAsString::Results{0, std::string("gone  \0", 7), 4})},
      {"integer",
       vp::EncodeRequest(vp::StringAsLong{"-12"}),
       [](Library&) {},
       {"long -12"},
       vp::EncodeAnswer<vp::StringAsLong::Results>(vp::StringAsLong::Results{0, -12})},
      {"float",
       vp::EncodeRequest(vp::StringAsFloat{"2.5"}),
       [](Library&) {},
       {"float 2.5"},
       vp::EncodeAnswer<vp::StringAsFloat::Results>(vp::StringAsFloat::Results{0, 2.5f})},
      {"a library that cannot be had",
       vp::EncodeRequest(vp::OpenController{"PUMP"}),
       [](Library& l) {
         l.open = [](const std::string&) -> std::pair<int16_t, int32_t> {
           throw RunError(err::kFileNotFound, "LumoCom: not there");
         };
       },
       {"open PUMP"},
       vp::Encode(uint8_t(vp::Outcome::kRunError), vp::RunFailure{53, "LumoCom: not there"})},
      {"a write into the spare room",
       vp::EncodeRequest(vp::StringAsLong{"1"}),
       [](Library& l) { l.overrun_by = kSpareRoom; },
       {"long 1"},
       vp::Encode(uint8_t(vp::Outcome::kOverrun),
                  vp::Overrun{"StringAsLong wrote past the end of a buffer it was given"})},
      {"a write past the terminator's place only",
       vp::EncodeRequest(vp::StringAsLong{"1"}),
       [](Library& l) { l.overrun_by = 1; },
       {"long 1"},
       vp::Encode(uint8_t(vp::Outcome::kOverrun),
                  vp::Overrun{"StringAsLong wrote past the end of a buffer it was given"})},
      {"a request of no call", std::string("\x07", 1), [](Library&) {}, {}, unreadable},
      {"a request cut short",
       vp::EncodeRequest(vp::StringAsLong{"1"}).substr(0, 3),
       [](Library&) {},
       {},
       unreadable},
      {"a buffer of less than nothing",
       vp::EncodeRequest(vp::SendRece{7, " ^V", 3, -1}),
       [](Library&) {},
       {},
       unreadable},
      {"a buffer larger than any answer",
       vp::EncodeRequest(vp::ErrorAsString{0, "", vp::kMaxMessage / 2 + 1}),
       [](Library&) {},
       {},
       unreadable},
      {"a content longer than its buffer, and than any answer",
       vp::EncodeRequest(vp::ErrorAsString{0, std::string(vp::kMaxMessage, 'x'), 6}),
       [](Library&) {},
       {"errtext 0"},
       vp::Encode(uint8_t(vp::Outcome::kRunError),
                  vp::RunFailure{err::kInternal, "HX_VENDOR: an answer longer than any message"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Library library;
    c.setup(library);
    EXPECT_EQ(AnswerRequest(library, c.request), c.answer);
    EXPECT_EQ(library.calls, c.calls);
  }
}

}  // namespace
}  // namespace hx
