#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "launch/command_line.h"
#include "launch/splash_layout.h"

namespace {

bool noLeadBytes(unsigned char) {
  return false;
}

// The lead bytes of code page 932 (Shift JIS).
bool codePage932Lead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct TailCase {
  const char* label;
  std::string full;
  IsLeadByte isLeadByte;
  std::string tail;
};

class CommandLineTail : public testing::TestWithParam<TailCase> {};

TEST_P(CommandLineTail, PassesOverTheProgramName) {
  const TailCase& c = GetParam();
  // An exactly sized heap copy, so that a read past the terminator is an error under ASan.
  auto copy = std::make_unique<char[]>(c.full.size() + 1);
  std::memcpy(copy.get(), c.full.c_str(), c.full.size() + 1);
  const char* tail = commandLineTail(copy.get(), c.isLeadByte);
  ASSERT_EQ(tail, copy.get() + c.full.size() - c.tail.size());
  EXPECT_EQ(std::string(tail), c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTail,
    testing::Values(
        TailCase{"NameOnly", "Vendro.exe", noLeadBytes, ""},
        TailCase{"BlanksAfterName", "Vendro.exe   ", noLeadBytes, ""},
        TailCase{"Arguments", "Vendro.exe  --pmr-debug x", noLeadBytes, "--pmr-debug x"},
        TailCase{"QuotedName", "\"C:\\Program Files\\Vendro.exe\"  -a b", noLeadBytes, "-a b"},
        TailCase{"QuotedNameOnly", "\"C:\\Program Files\\Vendro.exe\"", noLeadBytes, ""},
        TailCase{"TextGluedToClosingQuote", "\"C:\\a b\\V.exe\"x y", noLeadBytes, "y"},
        TailCase{"QuoteInsideName", "C:\\a\"b c\"d e", noLeadBytes, "e"},
        TailCase{"UnclosedQuote", "\"C:\\a b  c", noLeadBytes, ""},
        TailCase{"ControlBytesAfterName", "V.exe\t\x01\x1f arg", noLeadBytes, "arg"},
        TailCase{"LeadingBlankMeansEmptyName", " V.exe arg", noLeadBytes, "V.exe arg"},
        TailCase{"Empty", "", noLeadBytes, ""},
        TailCase{"BlankAfterHighByteSingleByte", "C:\\\x83 x.exe arg", noLeadBytes, "x.exe arg"},
        TailCase{"LeadByteTakesBlank", "C:\\\x83 x.exe arg", codePage932Lead, "arg"},
        TailCase{"QuoteAfterHighByteSingleByte", "\"C:\\\x94\" dir\\V.exe\" arg", noLeadBytes,
                 "dir\\V.exe\" arg"},
        TailCase{"LeadByteTakesQuoteInsideQuotes", "\"C:\\\x94\" dir\\V.exe\" arg", codePage932Lead,
                 "arg"},
        TailCase{"LeadByteTakesQuoteUnquoted", "\x81\"ab cd", codePage932Lead, "cd"},
        TailCase{"QuoteAfterHighByteOpensQuoting", "\x81\"ab cd", noLeadBytes, ""},
        TailCase{"SingleByteKatakanaIsNoLead", "V\xA1 a", codePage932Lead, "a"},
        TailCase{"LeadByteBeforeTerminator", "V\x81", codePage932Lead, ""},
        TailCase{"QuotedLeadByteBeforeTerminator", "\"V \x81", codePage932Lead, ""}),
    [](const testing::TestParamInfo<TailCase>& info) { return std::string(info.param.label); });

struct TimeoutCase {
  const char* text;
  int32_t ticks;
};

class SplashTimeout : public testing::TestWithParam<TimeoutCase> {};

TEST_P(SplashTimeout, ReadsLikeAtoiWithinOneTo900) {
  EXPECT_EQ(splashTimeoutTicks(GetParam().text), GetParam().ticks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplashTimeout,
    testing::Values(TimeoutCase{"", 60}, TimeoutCase{"0", 60}, TimeoutCase{"-5", 60},
                    TimeoutCase{"901", 60}, TimeoutCase{"900", 900}, TimeoutCase{"1", 1},
                    TimeoutCase{"  42abc", 42}, TimeoutCase{"99999999999999999999", 60},
                    TimeoutCase{"+7", 7}, TimeoutCase{" \t\n\v\f\r12", 12}, TimeoutCase{"- 5", 60},
                    TimeoutCase{"-0", 60}, TimeoutCase{"abc", 60}, TimeoutCase{"900s", 900},
                    TimeoutCase{"9000", 60}, TimeoutCase{"0000000000000000000000042", 42},
                    TimeoutCase{"4294967297", 60}, TimeoutCase{"-4294967295", 60}));

TEST(CentredOrigin, TruncatesTowardZero) {
  const struct {
    int32_t screen, low, high, origin;
  } cases[] = {
      {1920, 0, 256, 832},  {1080, 0, 256, 412},    {1365, 0, 256, 554}, {201, 0, 256, -27},
      {1080, 20, 276, 412}, {1920, -100, 156, 832}, {0, 0, 1, 0},        {0, 0, 3, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.screen << " " << c.low << ".." << c.high);
    EXPECT_EQ(centredOrigin(c.screen, c.low, c.high), c.origin);
  }
}

} // namespace
