// The report's header items and its text layout.
#include "crashreport/zorExceptReport.h"

#include <atomic>
#include <mutex>

#include "crashreport/zorExceptHelpers.h"
#include "crashreport/zorExceptSysInfo.h"
#include "crashreport/zorExcept_p.h"
#include "crashreport/zorStrings.h"
#include "crashreport/zorTools.h"

namespace zor {

namespace {

std::atomic<uint64_t> exceptionNumbers{0};

std::mutex pluginLock;
std::vector<ReportPlugin>& Plugins() {
  static std::vector<ReportPlugin> plugins;
  return plugins;
}

// The lines of a section's content: a break is CR, LF or CRLF.
std::vector<std::string_view> ContentLines(std::string_view content) {
  std::vector<std::string_view> lines;
  if (content.empty()) return lines;
  size_t start = 0;
  for (size_t i = 0; i <= content.size(); ++i) {
    if (i < content.size() && content[i] != '\r' && content[i] != '\n') continue;
    lines.push_back(content.substr(start, i - start));
    if (i + 1 < content.size() && content[i] == '\r' && content[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return lines;
}

std::string_view WithoutTrailingBlanks(std::string_view line) {
  while (!line.empty() && static_cast<unsigned char>(line.back()) < '!') line.remove_suffix(1);
  return line;
}

}  // namespace

uint64_t NextExceptionNumber() { return exceptionNumbers.fetch_add(1) + 1; }

std::string FlattenedValue(std::string_view value) {
  std::string flat;
  flat.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      c = ' ';
    }
    if (c == ' ' && !flat.empty() && flat.back() == ' ') continue;
    flat += c;
  }
  return flat;
}

HeaderItems BuildHeaderItems(SystemInfo& system, const LocalTime& now, const HeaderEvent& event) {
  HeaderItems items;
  // Each item on its own: one that fails is left out, the rest stay.
  const auto add = [&items](const std::string& name, const auto& value) {
    try {
      items.emplace_back(name, value());
    } catch (...) {
    }
  };
  add("date/time", [&] { return DateText(now) + ", " + TimeText(now); });
  add("computer name", [&] { return system.ComputerName(); });
  add("wts client name", [&] { return system.TerminalClientName(); });
  add("user name", [&] {
    const std::string user = system.UserName();
    return user.empty() || !system.IsAdministrator() ? user : user + "  <admin>";
  });
  add("registered owner", [&] { return system.RegisteredOwner(); });
  add("operating system", [&] { return system.OsVersionText(); });
  add("system language", [&] { return system.OsLanguageText(); });
  add("system up time", [&] { return system.SystemUpTimeText(); });
  add("program up time", [&] { return system.ProgramUpTimeText(); });
  try {
    const std::string processor = system.ProcessorName();
    const int count = processor.empty() ? 0 : system.ProcessorCount();
    if (count == 1) items.emplace_back("processor", processor);
    if (count > 1) items.emplace_back("processors", std::to_string(count) + "x " + processor);
  } catch (...) {
  }
  add("physical memory", [&] { return system.PhysicalMemoryText(); });
  add("system resources", [&] { return system.ResourcesText(); });
  add("free disk space", [&] { return system.FreeDiskSpaceText(); });
  add("display mode", [&] { return system.DisplayModeText(); });
  add("process id", [&] { return "$" + HexText(system.ProcessId()); });
  add("allocated memory", [&] { return system.AllocatedMemoryText(); });
  add("command line", [&] { return system.CommandLine(); });
  add("executable", [&] { return system.ExecutableName(); });
  std::string module;
  add("current module", [&] { return module = system.CurrentModuleName(); });
  try {
    const std::string date = system.ModuleDateTime();
    if (!date.empty()) {
      items.emplace_back(module.empty() ? "exec. date/time" : "module date/time", date);
      const uint64_t version = event.versionText.empty() ? system.ModuleFileVersion() : 0;
      items.emplace_back("version", version ? FileVersionText(version) : event.versionText);
    }
  } catch (...) {
  }
  add("bde version", [&] { return system.BdeVersion(); });
  add("compiled with", [] { return std::string("BCB6"); });
  add("zorExcept version", [] { return std::string("3.0e"); });
  for (size_t i = 1, n = ItemCount(event.plugins, '|'); i <= n; ++i) {
    try {
      const std::optional<ReportPlugin> plugin = FindReportPlugin(TrimmedCopy(ItemOf(event.plugins, i, '|')));
      if (plugin && !plugin->ownSection && plugin->text && event.exception)
        items.emplace_back(plugin->name, plugin->text(*event.exception));
    } catch (...) {
    }
  }
  add("callstack crc", [] { return std::string("will be calculated soon"); });
  add("exception number", [] { return std::to_string(NextExceptionNumber()); });
  if (event.reportKind == 1) {
    add("exception message", [&] { return event.frozenMessage; });
  } else {
    add("exception class", [&] { return event.className; });
    // The message has its sentence end, the class name never does: a
    // message that is only the class name compares equal to either form.
    if (event.message != event.className && event.message != SentenceEnd(event.className))
      add("exception message", [&] { return FlattenedValue(SentenceEnd(event.message)); });
  }
  return items;
}

std::string RenderReportText(IZEFields& header, IZEFields& sections) {
  std::string text;
  {
    Access access(header);
    size_t width = 0;
    for (int32_t i = 0; i < header.Count(); ++i) width = std::max(width, header.NameAt(i).size());
    ++width;
    for (int32_t i = 0; i < header.Count(); ++i) {
      const std::string name = header.NameAt(i);
      if (i > 0) text += "\r\n";
      text += name + std::string(width - name.size(), ' ') + ": " + FlattenedValue(header.ValueOf(name));
    }
  }
  Access access(sections);
  for (int32_t i = 0; i < sections.Count(); ++i) {
    const std::string name = sections.NameAt(i);
    text += "\r\n\r\n" + name + (name.find(':') == std::string::npos ? ":" : "");
    const std::string content = sections.ValueOf(name);
    for (std::string_view line : ContentLines(content)) {
      line = WithoutTrailingBlanks(line);
      text += "\r\n";
      text += line.empty() ? std::string_view(".") : line;
    }
  }
  return text;
}

void RegisterReportPlugin(ReportPlugin plugin) {
  std::lock_guard lock(pluginLock);
  Plugins().push_back(std::move(plugin));
}

void ClearReportPlugins() {
  std::lock_guard lock(pluginLock);
  Plugins().clear();
}

std::optional<ReportPlugin> FindReportPlugin(std::string_view name) {
  std::lock_guard lock(pluginLock);
  for (const ReportPlugin& p : Plugins())
    if (EqualNoCase(p.name, name)) return p;
  return std::nullopt;
}

}  // namespace zor
