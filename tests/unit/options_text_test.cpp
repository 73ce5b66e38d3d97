#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "cmdline/list_split.h"
#include "cmdline/options_text.h"
#include "guarded_buffer.h"

namespace {

const std::string fixedOption = "-Dfile.encoding=UTF-8 ";

struct FilterCase {
  const char* label;
  std::string prefix;
  std::string raw; // the bytes read from the file, right behind the prefix
  std::string text;
};

class FilterOptions : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterOptions, JoinsLinesAndDropsComments) {
  const FilterCase& c = GetParam();
  // An exactly sized heap buffer, so that a byte touched outside it is an error under ASan.
  auto buffer = std::make_unique<char[]>(32768);
  Text text = textOver(buffer.get(), 32768);
  appendText(text, c.prefix);
  std::memcpy(buffer.get() + text.length, c.raw.data(), c.raw.size());
  filterOptions(text, c.raw.size());
  EXPECT_EQ(textView(text), c.text);
  EXPECT_EQ(buffer[text.length], '\0');
  EXPECT_FALSE(text.cut);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterOptions,
    testing::Values(
        // A line end stays a line feed for the expansion, which turns it into a blank.
        FilterCase{"CrLf", fixedOption, "-Xmx512m\r\n-Xms128m\r\n",
                   fixedOption + "-Xmx512m\n-Xms128m\n"},
        FilterCase{"Lf", fixedOption, "-Xmx512m\n-Xms128m\n", fixedOption + "-Xmx512m\n-Xms128m\n"},
        FilterCase{"Cr", fixedOption, "-Xmx512m\r-Xms128m\r", fixedOption + "-Xmx512m\n-Xms128m\n"},
        // The blank before "#" and the fixed option's blank become the line ends after them.
        FilterCase{"CommentsAndEmptyLines", fixedOption,
                   "# memory\n-Xmx512m # heap\n\n-Dapp.dir=%EXEDIR%",
                   "-Dfile.encoding=UTF-8\n-Xmx512m\n-Dapp.dir=%EXEDIR% "},
        FilterCase{"CommentInsideOption", fixedOption, "-Dcolor=#fff", fixedOption + "-Dcolor= "},
        FilterCase{"LeadingTabKept", fixedOption, "\t-Da", fixedOption + "\t-Da "},
        FilterCase{"OnlyComments", fixedOption, "# only\n# comments\n", "-Dfile.encoding=UTF-8\n"},
        FilterCase{"OnlyLineEnds", fixedOption, "\n\n\r\n", "-Dfile.encoding=UTF-8\n"},
        FilterCase{"BlankRunsKept", fixedOption, "-Da  -Db \n", fixedOption + "-Da  -Db\n"},
        FilterCase{"CommentEndsAtEachLineEnd", fixedOption, "a#b\rc#d\ne",
                   fixedOption + "a\nc\ne "},
        FilterCase{"NoLineEnd", fixedOption, "-Da", fixedOption + "-Da "},
        FilterCase{"EmptyTextLineEnd", "", "\n-Da", "\n-Da "}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.label); });

TEST(FilterOptionsRead, NothingReadAddsNoBlank) {
  GuardedBuffer buffer(64);
  Text text = buffer.text();
  appendText(text, "-Dx");
  filterOptions(text, 0);
  EXPECT_EQ(textView(text), "-Dx");
  EXPECT_STREQ(buffer.data(), "-Dx");
}

TEST(FilterOptionsRead, AFullBufferStaysTerminated) {
  // 22 characters of fixed option and 9 bytes read fill a 32-byte buffer to its last byte.
  const struct {
    const char* raw;
    const char* text;
    bool cut;
  } cases[] = {{"-Xmx512mm", "-Xmx512mm", true}, {"-Xmx512m\n", "-Xmx512m\n", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    GuardedBuffer buffer(32);
    Text text = buffer.text();
    appendText(text, fixedOption);
    std::memcpy(buffer.data() + text.length, c.raw, 9);
    filterOptions(text, 9);
    EXPECT_EQ(textView(text), fixedOption + c.text);
    EXPECT_EQ(text.cut, c.cut);
    EXPECT_EQ(buffer.data()[31], '\0');
    EXPECT_TRUE(buffer.guardsIntact());
  }
}

TEST(OptionsPath, ReplacesTheLastThreeCharacters) {
  const struct {
    std::string exePath;
    bool ok;
    std::string path;
  } cases[] = {
      {"C:\\app\\Vendro.exe", true, "C:\\app\\Vendro.pmr.ini"},
      {"C:\\app\\Vendro.EXE", true, "C:\\app\\Vendro.pmr.ini"},
      {"exe", true, "pmr.ini"},
      {"ab", false, ""},
      {std::string(251, 'x') + ".exe", true, std::string(251, 'x') + ".pmr.ini"},
      {std::string(252, 'x') + ".exe", false, std::string(252, 'x') + ".pmr.in"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exePath.size());
    GuardedBuffer buffer(260);
    Text path = buffer.text();
    EXPECT_EQ(composeOptionsPath(path, c.exePath), c.ok);
    EXPECT_EQ(textView(path), c.path);
    EXPECT_TRUE(buffer.guardsIntact());
  }
}

TEST(OptionsMark, TellsUtf8AndUtf16MarksFromText) {
  using namespace std::string_literals;
  const struct {
    std::string raw;
    OptionsMark mark;
  } cases[] = {
      {"\xEF\xBB\xBF-Xmx512m", OptionsMark::utf8},
      {"\xEF\xBB\xBF", OptionsMark::utf8},
      {"\xEF\xBB-Xmx", OptionsMark::none}, // a cut mark is text like any other
      {"\xFF\xFE-\0X\0"s, OptionsMark::utf16},
      {"\xFE\xFF\0-\0X"s, OptionsMark::utf16},
      {"\xFF", OptionsMark::none},
      {"", OptionsMark::none},
      {"-Da=\xEF\xBB\xBF", OptionsMark::none}, // only at the start
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(optionsMark(c.raw), c.mark);
  }
}

TEST(OptionsEnd, EndsAtTheFirstNulOutsideAComment) {
  using namespace std::string_literals;
  const struct {
    std::string raw;
    size_t end;
  } cases[] = {
      {"-Da=1 -Db=2", 11},       {"-Da=1\0-Db=2"s, 5},
      {"\0-Da=1"s, 0},           {"-Da=1 # note\0\r\n-Db=2"s, 20}, // dropped with its comment
      {"# a\0b\n-Da=1\0x"s, 11}, // the comment ended at the line end
      {"# a\rb\0"s, 5},          // a lone CR ends a comment too
      {"-Dc=#\0"s, 6},           {"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(optionsEnd(c.raw), c.end);
  }
}

TEST(WholeLines, KeepsEveryOptionWhoseEndIsKnown) {
  const struct {
    const char* raw;
    char next; // the first byte not read
    size_t length;
  } cases[] = {
      {"-Da=1\n-Db=2", 'x', 6},
      {"-Da=1\r-Db", '=', 6},
      {"-Da=1\n", '-', 6},
      {"-Da=1", 'x', 0},
      {"", 'x', 0},
      {"\n# long comment", 'x', 1},
      // The line end comes right after what was read: the last line is whole.
      {"-Da=1\n-Db=2", '\n', 11},
      {"-Db=2", '\r', 5},
      {"-Db=2", '\0', 5},
      // A comment begun on the cut line ends it, whatever follows.
      {"-Da=1\n-Db=2 # long comm", 'e', 12},
      {"-Dc=#ff", 'f', 4},
      {"# com", 'm', 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(wholeLines(c.raw, c.next), c.length);
  }
}

TEST(ListSplit, SkipsEmptyEntries) {
  const struct {
    const char* list;
    char separator;
    std::vector<std::string> entries;
  } cases[] = {
      {";;a;;b;", ';', {"a", "b"}},
      {"", ';', {}},
      {";;;", ';', {}},
      {"C:\\app\\lib\\*.jar", ';', {"C:\\app\\lib\\*.jar"}},
      {"a b;c", ';', {"a b", "c"}},
      {"\tA=1\t\tB=x=y\t", '\t', {"A=1", "B=x=y"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    std::string_view rest = c.list;
    std::string_view entry;
    std::vector<std::string> entries;
    while (nextListEntry(rest, c.separator, entry) && entries.size() < 10)
      entries.emplace_back(entry);
    EXPECT_EQ(entries, c.entries);
    EXPECT_TRUE(rest.empty());
  }
}

} // namespace
