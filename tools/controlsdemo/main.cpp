// controlsdemo [page | --list]
// A developer tool, not part of the program: shows one page of the class
// library's controls at work (default: the first page). --list names the
// pages.

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/controls/ControlsModules.h"
#include "platform/ui/Application.h"
#include "tools/controlsdemo/Pages.h"

int main(int argc, char** argv) {
  KestovaApplication app(argc, argv);
  Application->SetTitle("controlsdemo");
  ModuleTable modules;
  AddControlsModules(modules);
  modules.StartUp();
  const std::string wanted = argc > 1 ? argv[1] : DemoPages().front().Name;
  if (wanted == "--list") {
    for (const TDemoPage& page : DemoPages()) std::printf("%-8s %s\n", page.Name.c_str(), page.Description.c_str());
    return 0;
  }
  for (const TDemoPage& page : DemoPages()) {
    if (page.Name != wanted) continue;
    TWinControl* window = page.Make();
    const int result = app.exec();
    window->Free();
    return result;
  }
  std::fprintf(stderr, "controlsdemo: no page \"%s\" (see --list)\n", wanted.c_str());
  return 2;
}
