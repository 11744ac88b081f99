#include "app/Startup.h"

#include <QLocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/KestovaForm.h"
#include "components/base/BaseModules.h"
#include "crashreport/zorExceptStartup.h"
#include "platform/controls/ControlsModules.h"
#include "platform/core/FormatSettings.h"
#include "platform/ui/Application.h"
#include "stats/GammaFuncs.h"

namespace {

// Initialising COM and OLE for the main thread has no counterpart here; the
// steps keep their places so that the order of the others stays as designed.
void AddTraced(ModuleTable& table, const std::string& name, const StartupTrace& trace) {
  table.Add(
      name,
      [trace, name] {
        if (trace) trace("start " + name);
      },
      [trace, name] {
        if (trace) trace("stop " + name);
      });
}

bool HaveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform && std::string(platform).rfind("xcb", 0) != 0 &&
      std::string(platform).rfind("wayland", 0) != 0)
    return true;  // offscreen, vnc, ...: no display server needed
  auto set = [](const char* var) {
    const char* v = std::getenv(var);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

void AddProgramModules(ModuleTable& table, StartupTrace trace) {
  // The class library's stream classes, before anything reads a stored form.
  AddControlsModules(table);
  table.Add(
      "GammaFuncs",
      [trace] {
        GammaFuncsStartUp();
        if (trace) trace("start GammaFuncs");
      },
      [trace] {
        GammaFuncsShutDown();
        if (trace) trace("stop GammaFuncs");
      });
  // The component family's base registries; they are freed after COM stops.
  AddComponentBaseModules(table);
  AddTraced(table, "COM", trace);
  // The crash reporter starts once COM is up for the main thread.
  zor::AddReporterModules(table);
  AddTraced(table, "OLE", trace);
  AddTraced(table, "KestovaForm", trace);
}

int RunProgram(int argc, char** argv) {
  if (!HaveDisplay()) {
    std::fprintf(stderr, "kestova-gui: no display found (set DISPLAY, or run under Xvfb)\n");
    return 1;
  }
  // The application object comes first: module steps create cursors, pixmaps
  // and clipboard formats, which need it.
  KestovaApplication app(argc, argv);
  // Once, whole: separators and symbols as UTF-8 (ar_EG's decimal point is
  // U+066B; one-character callers see "." for it, never a NUL byte).
  SetFormatSettings(FormatSettingsFromLocale(QLocale::system()));

  ModuleTable modules;
  AddProgramModules(modules);
  int exitCode = 1;
  RunGuarded([&] {
    modules.StartUp();
    auto form = std::make_unique<TForm1>();
    form->show();
    exitCode = app.exec();
  });
  modules.ShutDown();
  return exitCode;
}
