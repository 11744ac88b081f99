// The report layout over plain lists, and the header items of a fake machine.
#include "crashreport/zorExceptReport.h"

#include <gtest/gtest.h>

#include "crashreport/zorExceptFakeSystem.h"
#include "crashreport/zorExceptFields.h"
#include "crashreport/zorExceptObject.h"
#include "crashreport/zorExceptStartup.h"

namespace {

using namespace zor;

using Items = std::vector<std::pair<std::string, std::string>>;

std::shared_ptr<TIZEFields> List(const Items& items) {
  auto list = TIZEFields::NewEnabled();
  for (const auto& [name, value] : items) list->SetValue(name, value);
  return list;
}

std::string Render(const Items& header, const Items& sections) {
  return RenderReportText(*List(header), *List(sections));
}

TEST(ZorReportLayout, HeaderAndSections) {
  const struct {
    const char* name;
    Items header, sections;
    std::string text;
  } rows[] = {
      {"every colon one column after the longest name, an empty item left out",
       {{"date/time", "2024-03-05"}, {"wts client name", ""}, {"exception message", "x"}, {"id", "7"}},
       {},
       "date/time         : 2024-03-05\r\nexception message : x\r\nid                : 7"},
      {"values on one line with single blanks",
       {{"a", "one\r\ntwo\rthree\nfour  five\r\n\r\nsix"}},
       {},
       "a : one two three four five six"},
      {"an empty line and a line of blanks become dots",
       {{"h", "1"}},
       {{"s", "a\r\n\r\nb\n \t\nc"}},
       "h : 1\r\n\r\ns:\r\na\r\n.\r\nb\r\n.\r\nc"},
      {"trailing blanks go, leading ones stay",
       {{"h", "1"}},
       {{"s", "x\n   indented  \t\r\ny"}},
       "h : 1\r\n\r\ns:\r\nx\r\n   indented\r\ny"},
      {"a heading keeps its colon or gets one",
       {{"h", "1"}},
       {{"main thread ($d4c):", ">> stack will be calculated soon"}, {"cpu registers", ">> will be calculated soon"}},
       "h : 1\r\n\r\nmain thread ($d4c):\r\n>> stack will be calculated soon\r\n\r\ncpu registers:\r\n>> will be "
       "calculated soon"},
      {"nothing at all", {}, {}, ""},
  };
  for (const auto& r : rows) EXPECT_EQ(Render(r.header, r.sections), r.text) << r.name;
}

std::string ValueIn(const HeaderItems& items, std::string_view name) {
  for (const auto& [n, v] : items)
    if (n == name) return v;
  return "<absent>";
}

TEST(ZorReportHeader, ItemsFollowTheMachine) {
  zortest::FakeMachine machine;
  zortest::FakeSystem& s = machine.System();
  const LocalTime now{2024, 3, 5, 9, 7, 3, 42};
  const struct {
    const char* name;
    std::function<void(zortest::FakeSystem&, HeaderEvent&)> change;
    const char* item;
    const char* value;
  } rows[] = {
      {"date and time", nullptr, "date/time", "2024-03-05, 09:07:03, 42ms"},
      {"an administrator", [](auto& s, auto&) { s.admin = true; }, "user name", "ada  <admin>"},
      {"one processor", [](auto& s, auto&) { s.processors = 1; }, "processor", "Example CPU @ 2.40GHz"},
      {"four processors", nullptr, "processors", "4x Example CPU @ 2.40GHz"},
      {"no processor name", [](auto& s, auto&) { s.processor.clear(); }, "processors", "<absent>"},
      {"the process id in hexadecimal", nullptr, "process id", "$1a2c"},
      {"the executable's time", nullptr, "exec. date/time", "2024-03-01 17:45"},
      {"a module's time", [](auto& s, auto&) { s.module = "libkestova.so"; }, "module date/time", "2024-03-01 17:45"},
      {"the file version", nullptr, "version", "0.1.0.0"},
      {"the version text first", [](auto&, auto& e) { e.versionText = "2.5 beta"; }, "version", "2.5 beta"},
      {"no file, no version", [](auto& s, auto&) { s.moduleTime.clear(); }, "version", "<absent>"},
      {"the checksum to come", nullptr, "callstack crc", "will be calculated soon"},
      {"an exception's class", nullptr, "exception class", "EAccessViolation"},
      {"its message, flattened, with a sentence end",
       [](auto&, auto& e) { e.message = "Access violation\r\nat  00401A2B!"; }, "exception message",
       "Access violation at 00401A2B."},
      {"a frozen main thread has no class", [](auto&, auto& e) { e.reportKind = 1; }, "exception class", "<absent>"},
      {"and shows the frozen text", [](auto&, auto& e) { e.reportKind = 1; }, "exception message",
       "The application seems to be frozen."},
      {"a message that is the class name", [](auto&, auto& e) { e.message = "EAccessViolation."; }, "exception message",
       "<absent>"},
      {"the same without its sentence end", [](auto&, auto& e) { e.message = "EAccessViolation"; }, "exception message",
       "<absent>"},
  };
  for (const auto& r : rows) {
    zortest::FakeSystem copy = s;
    HeaderEvent event{0, "EAccessViolation", "Read of address 0.", "The application seems to be frozen.", "", ""};
    if (r.change) r.change(copy, event);
    EXPECT_EQ(ValueIn(BuildHeaderItems(copy, now, event), r.item), r.value) << r.name;
  }
}

TEST(ZorReportHeader, AFailingItemIsLeftOutAndPluginsComeBeforeTheChecksum) {
  struct Failing : zortest::FakeSystem {
    std::string OsLanguageText() override { throw std::runtime_error("no locale"); }
  } system;
  RegisterReportPlugin({"Licence", [](IZEException&) { return std::string("site 42"); }, false});
  RegisterReportPlugin({"Modules", [](IZEException&) { return std::string("a section"); }, true});
  TIZEException exception(nullptr, {});
  HeaderEvent event{0, "E", "m.", "", "", "modules|LICENCE|absent", &exception};
  const HeaderItems items = BuildHeaderItems(system, LocalTime{}, event);
  ClearReportPlugins();
  std::string names;
  for (const auto& [n, v] : items) names += n + ";";
  EXPECT_EQ(names,
            "date/time;computer name;wts client name;user name;registered owner;operating system;system up time;"
            "program up time;processors;physical memory;system resources;free disk space;display mode;process id;"
            "allocated memory;command line;executable;current module;exec. date/time;version;bde version;"
            "compiled with;zorExcept version;Licence;callstack crc;exception number;exception class;"
            "exception message;");
  EXPECT_EQ(ValueIn(items, "Licence"), "site 42");

  // The reporter's shut-down forgets them.
  ReporterStartup();
  RegisterReportPlugin({"Licence", nullptr, false});
  ReporterShutdown();
  EXPECT_FALSE(FindReportPlugin("licence"));
}

}  // namespace
