// The options file the examined launcher reads, as the launcher itself reads it.

#include "diagnostic/options_report.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstring>

#include "cmdline/options_file.h"
#include "cmdline/options_text.h"
#include "cmdline/substitution.h"
#include "diagnostic/captured_log.h"
#include "diagnostic/report.h"
#include "launch/bounded_text.h"
#include "launch/launch_settings.h"
#include "launch/launch_state.h"

void reportOptionsFile(const char* launcherPath, size_t folderLength) {
  reportHeading("Fichero de opciones");
  char optionsPath[pathSize];
  Text path = textOver(optionsPath);
  if (!composeOptionsPath(path, launcherPath)) {
    reportLine("Su nombre no cabe en 259 caracteres: Vendro no lee ninguno.");
    return;
  }
  reportField("Vendro lee", optionsPath);
  struct _stat64i32 status;
  if (_stat64i32(optionsPath, &status) != 0) {
    reportLine("No existe: Java recibe solo las opciones fijas.");
    return;
  }
  char head[4] = {};
  int file = _open(optionsPath, _O_RDONLY | _O_BINARY, 0);
  int headLength = file == -1 ? 0 : _read(file, head, sizeof head);
  if (file != -1) _close(file);
  OptionsMark mark = optionsMark(std::string_view(head, headLength > 0 ? headLength : 0));
  reportFormat("Tama\xF1o: %ld bytes", static_cast<long>(status.st_size));
  reportField("Marca de orden de bytes", mark == OptionsMark::utf8    ? "UTF-8 (se salta)"
                                         : mark == OptionsMark::utf16 ? "UTF-16"
                                                                      : "ninguna");
  if (mark == OptionsMark::utf16) {
    reportLine(
        "Vendro no toma ninguna opci\xF3n de un fichero UTF-16: gu\xE1rdalo como ANSI o UTF-8.");
    return;
  }
  size_t limit = optionsReadLimit - strlen(settings::fixedJavaOption) - 1;
  reportFormat("Vendro lee como mucho los primeros %u bytes (en modo texto: CR LF cuenta como "
               "uno).",
               static_cast<unsigned>(limit));
  static char optionsBuffer[argsSize];
  Text options = textOver(optionsBuffer);
  clearCapturedLog();
  loadOptionsFile(options, launcherPath);
  static char expanded[argsSize];
  Text args = textOver(expanded);
  substituteVars(args, textView(options), launcherPath, folderLength);
  std::string_view fixed = settings::fixedJavaOption;
  std::string_view yielded = textView(args);
  if (slice(yielded, 0, fixed.size()) == fixed) yielded = slice(yielded, fixed.size() + 1);
  reportLine("Lo que anota Vendro en pelmorin.log al leerlo:");
  reportRaw(capturedLog());
  reportLine("Opciones que da, sin comentarios y con las referencias expandidas, en la l\xEDnea "
             "siguiente:");
  appendText(reportText(), yielded);
  appendText(reportText(), "\r\n");
}
