#include "runtime/runtime_selection.h"

#include <windows.h>

#include "diag/debug_log.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"
#include "runtime/registry_search.h"

static void searchByBits(const char* searchKeyPath, int kind) {
  scanRuntimeKeys(searchKeyPath, static_cast<uint32_t>(kind));
  // A runtime from the 32-bit view is preferred: once one is accepted, 64-bit views are skipped.
  if (state.bestRuntimeFlags != 0 && !(state.bestRuntimeFlags & runtimeView64)) return;
  if (!state.underWow64) // 32-bit Windows has one view only
    return;
  scanRuntimeKeys(searchKeyPath, static_cast<uint32_t>(kind | runtimeView64));
}

static int findRegistryRuntime() {
  searchByBits(settings::javaSoftKitKey, runtimeKindJdk);
  searchByBits(settings::javaSoftRuntimeKey, runtimeKindJre);
  if (state.bestRuntimeFlags == 0) {
    searchByBits(settings::ibmKitKey, runtimeKindJdk);
    searchByBits(settings::ibmRuntimeKey, runtimeKindJre);
    if (state.bestRuntimeFlags == 0) return 0;
  }
  copyText(state.javaExePath, state.runtimeHome);
  logLine("Runtime used:\t%s (%s-bit)\n", state.bestJavaVersion,
          (state.bestRuntimeFlags & runtimeView64) ? "64" : "32");
  return 1;
}

static void composeRuntimeFailure() {
  Text failureText = textOver(state.failureText);
  appendText(failureText, settings::invalidJavaText);
  appendChar(failureText, ' ');
  appendText(failureText, state.minJavaVersion);
  if (state.badRuntimeSeen) {
    appendChar(failureText, '\n');
    appendText(failureText, settings::generalFailureText);
  }
  copyText(state.failureUrl, settings::javaDownloadUrl);
}

int selectRuntime() {
  copyText(state.minJavaVersion, settings::minJavaVersion);
  if (findRegistryRuntime()) return 1;
  composeRuntimeFailure();
  // No usable runtime is no system error: whatever the registry calls left must not be shown.
  SetLastError(0);
  return 0;
}
