#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "guarded_buffer.h"
#include "runtime/path_join.h"
#include "runtime/version_order.h"

namespace {

int sign(int value) {
  return (value > 0) - (value < 0);
}

struct VersionCase {
  std::string a;
  std::string b;
  int order; // sign of a compared with b
};

// Readable test names such as 1.7<1.7.0: bytes other than digits, letters, '.' and '_' as %HH,
// so the names stay one word for the test runner.
void printVersion(const std::string& version, std::ostream* out) {
  static const char digits[] = "0123456789abcdef";
  for (unsigned char c : version) {
    if (isalnum(c) || c == '.' || c == '_')
      *out << c;
    else
      *out << '%' << digits[c >> 4] << digits[c & 15];
  }
}

void PrintTo(const VersionCase& c, std::ostream* out) {
  printVersion(c.a, out);
  *out << (c.order < 0 ? '<' : c.order > 0 ? '>' : '=');
  printVersion(c.b, out);
}

class VersionOrder : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionOrder, ComparesUnsignedBytesPrefixFirst) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(sign(compareVersions(c.a, c.b)), c.order);
  EXPECT_EQ(sign(compareVersions(c.b, c.a)), -c.order);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionOrder,
    testing::Values(VersionCase{"1.7.0", "1.7.0", 0}, VersionCase{"1.7", "1.7.0", -1},
                    VersionCase{"1.10.0", "1.7.0", -1}, VersionCase{"10", "1.7.0", 1},
                    VersionCase{"11.0.2", "1.7.0", 1}, VersionCase{"1.8.0_101", "1.8.0_45", -1},
                    VersionCase{"1.8", "1.8.0_45", -1}, VersionCase{"", "1.8", -1},
                    VersionCase{"", "", 0}, VersionCase{"1.8\xE9", "1.8z", 1},
                    VersionCase{"\x80", "\x7F", 1}, VersionCase{"1.8.0_45", "1.8.0_45a", -1},
                    VersionCase{std::string("1.8\0", 4), "1.8", 1}));

TEST(JoinPath, PutsOneBackslashBetween) {
  const struct {
    const char* path;
    const char* element;
    const char* joined;
  } cases[] = {
      {"C:\\jdk", "jre", "C:\\jdk\\jre"},
      {"C:\\jdk\\", "jre", "C:\\jdk\\jre"},
      {"", "jre", "jre"},
      {"C:", ".", "C:\\."},
      {"C:\\app", "", "C:\\app\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.joined);
    GuardedBuffer buffer(260);
    Text path = buffer.text();
    appendText(path, c.path);
    EXPECT_TRUE(joinPath(path, c.element));
    EXPECT_EQ(textView(path), c.joined);
  }
}

TEST(JoinPath, AppendsTheWindowedLauncher) {
  GuardedBuffer buffer(260);
  for (const char* home : {"C:\\Java\\jre7", "C:\\Java\\jre7\\"}) {
    Text path = buffer.text();
    appendText(path, home);
    EXPECT_TRUE(appendLauncherName(path));
    EXPECT_EQ(textView(path), "C:\\Java\\jre7\\bin\\javaw.exe");
  }
}

TEST(JoinPath, ReportsALauncherPathThatDoesNotFit) {
  // "\bin\javaw.exe" takes 14 characters of the 259 usable ones.
  const struct {
    std::string home;
    bool fits;
  } cases[] = {
      {std::string(245, 'h'), true},
      {std::string(246, 'h'), false},
      {std::string(245, 'h') + "\\", true},
      {std::string(259, 'h'), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.home.size());
    GuardedBuffer buffer(260);
    Text path = buffer.text();
    appendText(path, c.home);
    EXPECT_EQ(appendLauncherName(path), c.fits);
    EXPECT_EQ(path.cut, !c.fits);
    if (c.fits) {
      EXPECT_EQ(path.length, 259u);
    }
    EXPECT_EQ(buffer.data()[path.length], '\0');
    EXPECT_TRUE(buffer.guardsIntact());
  }
}

} // namespace
