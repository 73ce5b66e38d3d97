#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cmdline/reference_expansion.h"
#include "guarded_buffer.h"

namespace {

// Stands in for the launcher's resolver: fixed values, and a record of the names asked for.
struct FakeResolver {
  std::map<std::string, std::string, std::less<>> values;
  std::vector<std::string> asked;
  std::string log; // one line per reference told, as the launcher's log writes it
};

void resolveFake(void* context, std::string_view name, Text& dest) {
  auto& fake = *static_cast<FakeResolver*>(context);
  fake.asked.emplace_back(name);
  auto found = fake.values.find(name);
  if (found != fake.values.end()) appendText(dest, found->second);
}

void noteFake(void* context, std::string_view name, const char* value) {
  auto& fake = *static_cast<FakeResolver*>(context);
  fake.log += "Substitute:\t" + std::string(name) + " = " + value + "\n";
}

FakeResolver launcherValues() {
  return FakeResolver{{{"EXEDIR", "C:\\app"},
                       {"EXEFILE", "C:\\app\\Vendro.exe"},
                       {"PWD", "C:\\work"},
                       {"JREHOMEDIR", "C:\\Java\\jre7"},
                       {"RATIO", "50%X%"},
                       {"my var", "v"}},
                      {},
                      {}};
}

struct ExpansionCase {
  const char* label;
  std::string source;
  int result;
  std::string expanded;
  std::vector<std::string> asked;
  std::string log;
};

class ExpandReferences : public testing::TestWithParam<ExpansionCase> {};

TEST_P(ExpandReferences, AppendsValuesAndLogsEachReference) {
  const ExpansionCase& c = GetParam();
  for (bool logging : {true, false}) {
    SCOPED_TRACE(logging ? "with log" : "without log");
    FakeResolver fake = launcherValues();
    GuardedBuffer buffer(32768);
    Text dest = buffer.text();
    EXPECT_EQ(expandReferences(dest, c.source, resolveFake, logging ? noteFake : nullptr, &fake),
              c.result);
    EXPECT_EQ(textView(dest), c.expanded);
    EXPECT_FALSE(dest.cut);
    EXPECT_EQ(fake.asked, c.asked);
    EXPECT_EQ(fake.log, logging ? c.log : "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandReferences,
    testing::Values(
        ExpansionCase{"Empty", "", 1, "", {}, ""},
        ExpansionCase{"NoReference", "-Xmx512m -Da=b", 1, "-Xmx512m -Da=b", {}, ""},
        ExpansionCase{"ExeDir",
                      "%EXEDIR%\\lib\\*.jar",
                      1,
                      "C:\\app\\lib\\*.jar",
                      {"EXEDIR"},
                      "Substitute:\tEXEDIR = C:\\app\n"},
        ExpansionCase{"ExeFile",
                      "%EXEFILE%",
                      1,
                      "C:\\app\\Vendro.exe",
                      {"EXEFILE"},
                      "Substitute:\tEXEFILE = C:\\app\\Vendro.exe\n"},
        ExpansionCase{
            "Unset", "-Dx=%NOT_SET%y", 1, "-Dx=y", {"NOT_SET"}, "Substitute:\tNOT_SET = \n"},
        ExpansionCase{"EndsWithReference",
                      "-Dhome=%JREHOMEDIR%",
                      1,
                      "-Dhome=C:\\Java\\jre7",
                      {"JREHOMEDIR"},
                      "Substitute:\tJREHOMEDIR = C:\\Java\\jre7\n"},
        ExpansionCase{"UnmatchedAfterReference",
                      "A%PWD%B%C",
                      0,
                      "AC:\\workB%C",
                      {"PWD"},
                      "Substitute:\tPWD = C:\\work\n"},
        ExpansionCase{"UnmatchedAtEnd", "-Xmx50%", 0, "-Xmx50%", {}, ""},
        ExpansionCase{"UnmatchedInOption", "-Dratio=50%", 0, "-Dratio=50%", {}, ""},
        ExpansionCase{"UnmatchedAtStart", "%EXEDIR", 0, "%EXEDIR", {}, ""},
        ExpansionCase{"UnmatchedRightAfterReference",
                      "%EXEDIR%%",
                      0,
                      "C:\\app%",
                      {"EXEDIR"},
                      "Substitute:\tEXEDIR = C:\\app\n"},
        ExpansionCase{"EmptyName", "50%%", 1, "50", {""}, "Substitute:\t = \n"},
        ExpansionCase{
            "OtherCaseIsAnotherName", "%exedir%", 1, "", {"exedir"}, "Substitute:\texedir = \n"},
        ExpansionCase{
            "TwoInARow",
            "%EXEDIR%%EXEFILE%",
            1,
            "C:\\appC:\\app\\Vendro.exe",
            {"EXEDIR", "EXEFILE"},
            "Substitute:\tEXEDIR = C:\\app\nSubstitute:\tEXEFILE = C:\\app\\Vendro.exe\n"},
        ExpansionCase{"ValueNotExpandedAgain",
                      "-Dr=%RATIO%;",
                      1,
                      "-Dr=50%X%;",
                      {"RATIO"},
                      "Substitute:\tRATIO = 50%X%\n"},
        ExpansionCase{
            "NameWithBlank", "a %my var% b", 1, "a v b", {"my var"}, "Substitute:\tmy var = v\n"},
        // Java's own placeholder ends with its line; the next line's reference stays whole.
        ExpansionCase{"NeverAcrossALineEnd",
                      "-XX:ErrorFile=hs_err_pid%p.log\n-Dapp.home=%EXEDIR%\n",
                      0,
                      "-XX:ErrorFile=hs_err_pid%p.log -Dapp.home=C:\\app ",
                      {"EXEDIR"},
                      "Substitute:\tEXEDIR = C:\\app\n"},
        ExpansionCase{"EachLineOnItsOwn",
                      "%EXEDIR\n%PWD%",
                      0,
                      "%EXEDIR C:\\work",
                      {"PWD"},
                      "Substitute:\tPWD = C:\\work\n"}),
    [](const testing::TestParamInfo<ExpansionCase>& info) {
      return std::string(info.param.label);
    });

TEST(ExpandReferencesInto, AppendsBehindExistingTextAndLogsOnlyTheValue) {
  FakeResolver fake = launcherValues();
  GuardedBuffer buffer(32768);
  Text dest = buffer.text();
  appendText(dest, "-Dfile.encoding=UTF-8 ");
  EXPECT_EQ(expandReferences(dest, "-Dd=%EXEDIR% ", resolveFake, noteFake, &fake), 1);
  EXPECT_EQ(textView(dest), "-Dfile.encoding=UTF-8 -Dd=C:\\app ");
  EXPECT_EQ(fake.log, "Substitute:\tEXEDIR = C:\\app\n");
}

TEST(ExpandReferencesInto, TreatsNamesOf128CharactersAsUnset) {
  std::string longest(127, 'N');
  std::string tooLong(128, 'N');
  FakeResolver fake = launcherValues();
  fake.values[longest] = "short";
  fake.values[tooLong] = "long";
  GuardedBuffer buffer(32768);
  Text dest = buffer.text();
  std::string source = "a%" + longest + "%b%" + tooLong + "%c";
  EXPECT_EQ(expandReferences(dest, source, resolveFake, noteFake, &fake), 1);
  EXPECT_EQ(textView(dest), "ashortbc");
  EXPECT_EQ(fake.asked, std::vector<std::string>{longest});
  EXPECT_EQ(fake.log, "Substitute:\t" + longest + " = short\nSubstitute:\t" + tooLong + " = \n");
}

TEST(ExpandReferencesInto, StopsAtTheEndOfTheDestination) {
  const struct {
    const char* source;
    const char* expanded;
    const char* log;
  } cases[] = {
      {"%EXEFILE%", "C:\\app\\", "Substitute:\tEXEFILE = C:\\app\\\n"},
      {"ab%EXEFILE%cd", "abC:\\ap", "Substitute:\tEXEFILE = C:\\ap\n"},
      {"1234567%EXEDIR%", "1234567", "Substitute:\tEXEDIR = \n"},
      {"-Xmx5000%", "-Xmx500", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    FakeResolver fake = launcherValues();
    GuardedBuffer buffer(8);
    Text dest = buffer.text();
    expandReferences(dest, c.source, resolveFake, noteFake, &fake);
    EXPECT_STREQ(buffer.data(), c.expanded);
    EXPECT_TRUE(dest.cut);
    EXPECT_TRUE(buffer.guardsIntact());
    EXPECT_EQ(fake.log, c.log);
  }
}

} // namespace
