#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cmdline/path_rule.h"
#include "desktop/instance_window.h"
#include "desktop/updater_command.h"
#include "diag/failure_text.h"
#include "diag/log_path.h"
#include "guarded_buffer.h"

namespace {

TEST(PathRule, NewPathStaysWithin32766Characters) {
  // The new value is the old one, ";" and the directory.
  const struct {
    size_t pathLength, dirLength;
    bool room;
  } cases[] = {
      {0, 32765, true},         {0, 32766, false},    {32765, 0, true},
      {32765, 1, false},        {32766, 0, false},    {10, 32755, true},
      {10, 32756, false},       {32752, 13, true},    {32752, 14, false},
      {SIZE_MAX, 0, false},     {0, SIZE_MAX, false}, {1, SIZE_MAX - 1, false},
      {SIZE_MAX - 1, 2, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pathLength << " + " << c.dirLength);
    EXPECT_EQ(pathHasRoomFor(c.pathLength, c.dirLength), c.room);
  }
}

TEST(InstanceWindow, OnlyTheJavaLauncherRunsTheApplication) {
  const struct {
    const char* exeFile;
    bool java;
  } cases[] = {
      {"javaw.exe", true},
      {"JAVAW.EXE", true},
      {"C:\\rt\\bin\\javaw.exe", true},
      {"java.exe", false},
      {"explorer.exe", false},
      {"javaw.exe.exe", false},
      {"xjavaw.exe", false},
      {"", false},
      {"C:\\javaw.exe\\notepad.exe", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exeFile);
    EXPECT_EQ(isJavaLauncherFile(c.exeFile), c.java);
  }
}

const std::string general = "Error al iniciar la aplicaci\xF3n";

TEST(FailureText, FillsTheFirstInsertWithTheProgramAndRemovesTheOthers) {
  const std::string p = "C:\\j\\javaw.exe", bad = "Bad EXE format for ";
  const struct {
    std::string systemText, program, completed;
  } cases[] = {
      {bad + "%1.\r\n", p, bad + p + ".\r\n"},
      {bad + "%1.", "", bad + "."},
      {"%1!s! a %2 b %12 c %2!d! d %99!", p, p + " a  b  c  d !"},
      {"%%1 100%% %x %0 %", p, "%%1 100%% %x %0 %"},
      {bad + "%1.", std::string(300, 'p'), bad + std::string(20, 'p')}, // cut at the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.systemText);
    GuardedBuffer buffer(40);
    Text text = buffer.text();
    appendFilledInserts(text, c.systemText, c.program);
    EXPECT_EQ(textView(text), c.completed);
    EXPECT_TRUE(buffer.guardsIntact());
  }
}

TEST(FailureText, AppendsSystemTextAsReturned) {
  const struct {
    std::string text, systemText, completed;
  } cases[] = {
      {general, "Access is denied.\r\n", general + "\n\nAccess is denied.\r\n"},
      {"", "The network path was not found.\r\n", "\n\nThe network path was not found.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.completed);
    GuardedBuffer buffer(1024);
    Text text = buffer.text();
    appendText(text, c.text);
    appendSystemText(text, c.systemText);
    EXPECT_EQ(textView(text), c.completed);
  }
}

TEST(FailureText, CutsALongSystemTextAtTheBufferEnd) {
  GuardedBuffer buffer(1024);
  Text text = buffer.text();
  appendText(text, general);
  appendSystemText(text, std::string(2000, 's'));
  EXPECT_EQ(textView(text), general + "\n\n" + std::string(1023 - general.size() - 2, 's'));
  EXPECT_TRUE(text.cut);
  EXPECT_EQ(buffer.data()[1023], '\0');
  EXPECT_TRUE(buffer.guardsIntact());
}

TEST(FailureText, AppendsTheErrorNumber) {
  const struct {
    uint32_t code;
    std::string completed;
  } cases[] = {{2, general + "\n\nError 2"}, {4294967295u, general + "\n\nError 4294967295"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    GuardedBuffer buffer(1024);
    Text text = buffer.text();
    appendText(text, general);
    appendErrorNumber(text, c.code);
    EXPECT_EQ(textView(text), c.completed);
  }
}

TEST(LogPath, PutsTheLogBesideTheExecutable) {
  const struct {
    std::string exeDir;
    bool ok;
    std::string path;
  } cases[] = {
      {"C:\\app", true, "C:\\app\\pelmorin.log"},
      {"C:", true, "C:\\pelmorin.log"},
      {std::string(260, 'd'), true, std::string(260, 'd') + "\\pelmorin.log"},
      {std::string(261, 'd'), false, std::string(261, 'd') + "\\pelmorin.lo"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.exeDir.size());
    GuardedBuffer buffer(logPathSize);
    Text path = buffer.text();
    EXPECT_EQ(composeLogPath(path, c.exeDir), c.ok);
    EXPECT_EQ(textView(path), c.path);
    EXPECT_TRUE(buffer.guardsIntact());
  }
}

TEST(Updater, FindsItsDirectory) {
  const struct {
    const char* moduleFileName;
    const char* directory;
    const char* updaterPath;
    const char* check;
  } cases[] = {
      {"C:\\app\\Vendro.exe", "C:\\app", "C:\\app\\wyUpdate.exe",
       "\"C:\\app\\wyUpdate.exe\" /quickcheck /justcheck /noerr"},
      {"C:\\Vendro.exe", "C:", "C:\\wyUpdate.exe",
       "\"C:\\wyUpdate.exe\" /quickcheck /justcheck /noerr"},
      {"Vendro.exe", "Ve", "Ve\\wyUpdate.exe",
       "\"Ve\\wyUpdate.exe\" /quickcheck /justcheck /noerr"},
      {"C:\\app\\\\V.exe", "C:\\app\\", "C:\\app\\wyUpdate.exe",
       "\"C:\\app\\wyUpdate.exe\" /quickcheck /justcheck /noerr"},
      {"\\\\srv\\share\\V.exe", "\\\\srv\\share", "\\\\srv\\share\\wyUpdate.exe",
       "\"\\\\srv\\share\\wyUpdate.exe\" /quickcheck /justcheck /noerr"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.moduleFileName);
    EXPECT_EQ(updaterDirectory(c.moduleFileName), c.directory);
    GuardedBuffer pathBuffer(260);
    Text path = pathBuffer.text();
    EXPECT_TRUE(composeUpdaterPath(path, c.moduleFileName));
    EXPECT_EQ(textView(path), c.updaterPath);
    GuardedBuffer lineBuffer(updaterCommandSize);
    Text line = lineBuffer.text();
    EXPECT_TRUE(composeUpdateCheck(line, c.moduleFileName));
    EXPECT_EQ(textView(line), c.check);
  }
}

TEST(Updater, CheckLineNeverPassesItsBuffer) {
  // The check adds 45 characters to the directory; the buffer holds 305 of them.
  for (size_t dirLength : {246u, 258u, 260u, 261u}) {
    SCOPED_TRACE(dirLength);
    std::string moduleFileName = std::string(dirLength, 'd') + "\\V.exe";
    GuardedBuffer buffer(updaterCommandSize);
    Text line = buffer.text();
    bool fits = dirLength <= 260;
    EXPECT_EQ(composeUpdateCheck(line, moduleFileName), fits);
    if (fits) {
      EXPECT_EQ(textView(line), "\"" + std::string(dirLength, 'd') +
                                    "\\wyUpdate.exe\" /quickcheck /justcheck /noerr");
    }
    EXPECT_EQ(line.length, fits ? dirLength + 45 : updaterCommandSize - 1);
    EXPECT_TRUE(buffer.guardsIntact());

    GuardedBuffer pathBuffer(260);
    Text path = pathBuffer.text();
    EXPECT_EQ(composeUpdaterPath(path, moduleFileName), dirLength <= 246);
    EXPECT_TRUE(pathBuffer.guardsIntact());
  }
}

} // namespace
