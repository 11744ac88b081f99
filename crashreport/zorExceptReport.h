#pragma once
// The report's header items and its text layout.
//
// The header is a fixed series of items about the machine, the process and
// the event (BuildHeaderItems); each is computed on its own, and one that
// fails or comes out empty is left out. The text renders the header list and
// the section list in one layout (RenderReportText):
//
//   name<blanks> : value              every ":" one column after the longest
//   ...                               name; values flattened to one line
//   <empty line>
//   section name:                     ":" added unless the name has one
//   content line                      "." for a line that is empty once its
//   ...                               trailing blanks are cut
//
// Lines end in CRLF; the text has no final line break.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "crashreport/zorExceptInterfaces.h"
#include "crashreport/zorExceptKeys.h"

namespace zor {

class IZEException;
class SystemInfo;

using HeaderItems = std::vector<std::pair<std::string, std::string>>;

// What the header needs to know about the event.
struct HeaderEvent {
  uint8_t reportKind = 0;
  std::string className;              // RaisedClassName
  std::string message;                // RaisedMessage
  std::string frozenMessage;          // "FrozenMsg"
  std::string versionText;            // from "VersionVar"
  std::string plugins;                // "Plugins"
  IZEException* exception = nullptr;  // for the plug-ins' texts
};

// The header items in their order, values untrimmed; takes the next
// exception number.
HeaderItems BuildHeaderItems(SystemInfo& system, const LocalTime& now, const HeaderEvent& event);

// The report text of the two lists (each read between its BeginAccess and
// EndAccess, the header's first).
std::string RenderReportText(IZEFields& header, IZEFields& sections);
// A value on one line: CRLF, CR and LF become a blank, runs of blanks one.
std::string FlattenedValue(std::string_view value);

// The exception numbers: process-wide, the first header gets 1.
uint64_t NextExceptionNumber();

// Extra header items or sections that code of the program contributes under
// a name listed in "Plugins". A section plug-in's text is computed with the
// other sections; any other gives a header item.
struct ReportPlugin {
  std::string name;
  std::function<std::string(IZEException&)> text;
  bool ownSection = false;
};
void RegisterReportPlugin(ReportPlugin plugin);
void ClearReportPlugins();
// The first plug-in of that name, ignoring case.
std::optional<ReportPlugin> FindReportPlugin(std::string_view name);

}  // namespace zor
