#include "launch/preparation.h"

#include <windows.h>

#include <cstring>

#include "cmdline/classpath.h"
#include "cmdline/environment.h"
#include "cmdline/options_file.h"
#include "cmdline/substitution.h"
#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "runtime/path_join.h"
#include "runtime/runtime_selection.h"

void writeFailureDefaults() {
  copyText(state.failureTitle, settings::failureTitle);
  copyText(state.failureUrl, settings::makerUrl);
  copyText(state.failureText, settings::generalFailureText);
}

int prepareJavaStart(const char* exePath, size_t exeDirLength) {
  changeToExeDir(exePath, exeDirLength);
  if (!selectRuntime()) return 0;
  if (!addRuntimeBinToPath()) return 0;
  applyEnvSettings(exePath, exeDirLength);
  state.processPriority = settings::processPriority;
  Text launcher = textAfter(state.javaExePath);
  bool fits = appendLauncherName(launcher);

  char optionsBuffer[argsSize];
  Text options = textOver(optionsBuffer);
  loadOptionsFile(options, exePath);
  Text args = textOver(state.javaArgs);
  substituteVars(args, textView(options), exePath, exeDirLength);
  fits = !options.cut && !args.cut && fits;
  fits = assembleClasspath(exePath, exeDirLength) && fits;
  fits = endArgs() && fits;

  logLine("Launcher:\t%s\n", state.javaExePath);
  logLine("Launcher args:\t%s\n", state.javaArgs);
  logLine("Args length:\t%d/32768 chars\n", static_cast<int>(strlen(state.javaArgs)));
  if (!fits) {
    // Java never starts with a cut argument text; the report names the reason.
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
  return 1;
}
