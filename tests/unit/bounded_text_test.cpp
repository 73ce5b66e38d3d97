#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "guarded_buffer.h"
#include "launch/bounded_text.h"
#include "launch/child_command.h"

namespace {

TEST(BoundedText, CapacityMinusOneFitsOneMoreIsCut) {
  for (size_t capacity : {1u, 2u, 9u, 260u}) {
    SCOPED_TRACE(capacity);
    GuardedBuffer buffer(capacity);
    Text text = buffer.text();
    std::string full(capacity - 1, 'a');
    EXPECT_TRUE(appendText(text, full));
    EXPECT_FALSE(text.cut);
    EXPECT_EQ(textView(text), full);
    EXPECT_EQ(buffer.data()[capacity - 1], '\0');
    EXPECT_FALSE(appendChar(text, 'b'));
    EXPECT_TRUE(text.cut);
    EXPECT_EQ(textView(text), full);
    EXPECT_EQ(buffer.data()[capacity - 1], '\0');
    EXPECT_TRUE(buffer.guardsIntact());
  }
}

TEST(BoundedText, KeepsWhatFitsAndCutStaysSet) {
  GuardedBuffer buffer(5);
  Text text = buffer.text();
  EXPECT_TRUE(appendText(text, "ab"));
  EXPECT_FALSE(appendText(text, "cdef"));
  EXPECT_STREQ(buffer.data(), "abcd");
  EXPECT_EQ(text.length, 4u);
  EXPECT_TRUE(text.cut);
  dropLastChar(text);
  EXPECT_TRUE(appendChar(text, 'x'));
  EXPECT_STREQ(buffer.data(), "abcx");
  EXPECT_TRUE(text.cut);
  EXPECT_TRUE(buffer.guardsIntact());
}

TEST(BoundedText, AppendsDecimals) {
  const struct {
    uint32_t value;
    const char* digits;
  } cases[] = {{0, "0"}, {7, "7"}, {1000, "1000"}, {4294967295u, "4294967295"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.digits);
    GuardedBuffer buffer(11);
    Text text = buffer.text();
    EXPECT_TRUE(appendDecimal(text, c.value));
    EXPECT_STREQ(buffer.data(), c.digits);
  }
  GuardedBuffer small(4);
  Text text = small.text();
  EXPECT_FALSE(appendDecimal(text, 12345));
  EXPECT_STREQ(small.data(), "123");
  EXPECT_TRUE(small.guardsIntact());
}

TEST(BoundedText, ContinuesExistingTextAndTerminatesUnterminatedBuffer) {
  GuardedBuffer buffer(16);
  std::strcpy(buffer.data(), "C:\\app");
  Text text = textAfter(buffer.data(), 16);
  EXPECT_EQ(text.length, 6u);
  appendText(text, "\\x");
  EXPECT_STREQ(buffer.data(), "C:\\app\\x");

  GuardedBuffer full(8);
  std::memset(full.data(), 'z', 8);
  Text filled = textAfter(full.data(), 8);
  EXPECT_EQ(filled.length, 7u);
  EXPECT_EQ(full.data()[7], '\0');
  EXPECT_TRUE(full.guardsIntact());
}

TEST(BoundedText, CommitsBytesWrittenBehindTheText) {
  GuardedBuffer buffer(6);
  Text text = buffer.text();
  appendText(text, "ab");
  std::memcpy(buffer.data() + text.length, "cd", 2);
  commitWritten(text, 2);
  EXPECT_STREQ(buffer.data(), "abcd");
  EXPECT_FALSE(text.cut);
  commitWritten(text, 5); // claims more than the one byte of room
  EXPECT_EQ(text.length, 5u);
  EXPECT_TRUE(text.cut);
  EXPECT_EQ(buffer.data()[5], '\0');
  EXPECT_TRUE(buffer.guardsIntact());

  Text empty = buffer.text();
  dropLastChar(empty);
  EXPECT_EQ(empty.length, 0u);
  EXPECT_EQ(buffer.data()[0], '\0');
}

TEST(BoundedText, SlicesWithinTheText) {
  const struct {
    size_t start, count;
    std::string_view part;
  } cases[] = {{0, 2, "ab"},   {1, std::string_view::npos, "bcd"},
               {1, 10, "bcd"}, {4, 1, ""},
               {9, 1, ""},     {2, 0, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << "," << c.count);
    EXPECT_EQ(slice("abcd", c.start, c.count), c.part);
  }
}

constexpr size_t argsCapacity = 32768;
const std::string javaw = "C:\\Java\\jre7\\bin\\javaw.exe";

TEST(ChildCommandLine, QuotesThePathAndAppendsTheArguments) {
  GuardedBuffer buffer(argsCapacity);
  Text line = buffer.text();
  EXPECT_TRUE(composeChildCommandLine(line, javaw, "-Dfile.encoding=UTF-8 Main "));
  EXPECT_EQ(textView(line), "\"C:\\Java\\jre7\\bin\\javaw.exe\" -Dfile.encoding=UTF-8 Main ");

  Text bare = buffer.text();
  EXPECT_TRUE(composeChildCommandLine(bare, javaw, ""));
  EXPECT_EQ(textView(bare), "\"C:\\Java\\jre7\\bin\\javaw.exe\" ");
}

TEST(ChildCommandLine, RefusesALineOfMoreThan32767Characters) {
  size_t fitting = argsCapacity - 1 - 3 - javaw.size();
  GuardedBuffer buffer(argsCapacity);
  Text line = buffer.text();
  EXPECT_TRUE(composeChildCommandLine(line, javaw, std::string(fitting, 'a')));
  EXPECT_EQ(line.length, argsCapacity - 1);

  Text over = buffer.text();
  EXPECT_FALSE(composeChildCommandLine(over, javaw, std::string(fitting + 1, 'a')));
  EXPECT_EQ(buffer.data()[argsCapacity - 1], '\0');
  EXPECT_TRUE(buffer.guardsIntact());
}

} // namespace
