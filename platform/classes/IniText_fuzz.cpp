// Reads arbitrary bytes as an INI file. The text must come back byte for
// byte; every entry listed must be found; a written value must read back,
// also after the changed text is read again, and erasing a section must
// leave none of that name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/classes/IniText.h"

namespace {
void CheckEntries(const TIniText& ini) {
  std::string value;
  for (const std::string& section : ini.SectionNames()) {
    if (!ini.SectionExists(section)) std::abort();
    for (const std::string& ident : ini.Idents(section))
      if (!ini.Find(section, ident, value)) std::abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TIniText ini(text);
  if (ini.Text() != text) std::abort();
  CheckEntries(ini);

  const auto sections = ini.SectionNames();
  const std::string section = sections.empty() ? "Fuzz" : sections.back();
  TIniText changed = ini;
  changed.SetSectionLines("Raw", {"first,line", "second"});
  changed.SetValue(section, "Fuzz", "written value");
  const TIniText reread(changed.Text());
  for (const TIniText* t : {static_cast<const TIniText*>(&changed), &reread}) {
    std::string value;
    if (!t->Find(section, "fuzz", value) || value != "written value") std::abort();
    if (t->SectionLines("raw") != changed.SectionLines("Raw")) std::abort();
    CheckEntries(*t);
  }
  changed.EraseSection(section);
  if (changed.SectionExists(section)) std::abort();
  return 0;
}
