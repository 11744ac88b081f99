// zortool header: the report header of this machine and process, as a crash
// report would show it (a process snapshot, so no exception class).
#include <cstdio>
#include <string>
#include <vector>

#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExceptStartup.h"

int RunHeader(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "usage: zortool header\n");
    return 2;
  }
  zor::ReporterStartup();
  std::string text;
  {
    zor::ExceptionFacts facts;
    facts.reportKind = 1;
    const auto exception = std::make_shared<zor::TIZEException>(nullptr, facts);
    text = exception->ReportText(false);
  }
  zor::ReporterShutdown();
  std::printf("%s\n", text.c_str());
  return 0;
}
