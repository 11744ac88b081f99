// Which settings apply: of the process, of a module, of an address, of a
// caller.
#include "crashreport/zorExceptModules.h"
#include "crashreport/zorExceptSettingsObject.h"
#include "crashreport/zorStrings.h"

namespace zor {

namespace {

// The reporter's design-time package on the original platform; it is never
// loaded here, but a module of that name would be asked first.
constexpr char kIdePackageName[] = "zorExceptIde_.bpl";

bool CarriesSettings(const ZorModule& module) { return FindSettingsResource(module).has_value(); }

std::shared_ptr<TIZESettings> SettingsObjectOf(const ZorModule& module) {
  return std::make_shared<TIZESettings>(module, true);
}

bool Usable(const std::shared_ptr<IZEModuleSettings>& s) { return s && s->HasSettings() && !s->NoSettings(); }

}  // namespace

std::shared_ptr<IZEModuleSettings> FindProcessSettings() {
  std::shared_ptr<IZEModuleSettings> held;
  const ZorModule reporter = ReporterModule();
  if (CarriesSettings(reporter)) held = SettingsObjectOf(reporter);
  if (held && !held->NoSettings()) return held;
  const std::vector<ZorModule> modules = LoadedModules();
  for (const ZorModule& m : modules) {
    if (EqualNoCase(m.name, kIdePackageName) && CarriesSettings(m)) {
      held = SettingsObjectOf(m);
      break;
    }
  }
  for (const ZorModule& m : modules) {
    if (held && !held->NoSettings()) break;
    if (!CarriesSettings(m)) continue;
    std::shared_ptr<IZEModuleSettings> s = SettingsObjectOf(m);
    if (!held || !s->NoSettings()) held = std::move(s);
  }
  return held;
}

std::shared_ptr<IZEModuleSettings> SettingsForModule(const ZorModule& module) {
  std::shared_ptr<IZEModuleSettings> s = SettingsObjectOf(module);
  if ((s->HasSettings() && s->NoSettings()) || (!s->HasSettings() && ReporterInPackage())) {
    if (std::shared_ptr<IZEModuleSettings> o = FindProcessSettings(); Usable(o)) return o;
  }
  return s;
}

std::shared_ptr<IZESettings> SettingsForAddress(const void* address) {
  std::shared_ptr<IZEModuleSettings> s;
  const ZorModule reporter = ReporterModule();
  if (const std::optional<ZorModule> m = ModuleOfAddress(address);
      m && !SameModule(*m, reporter) && CarriesSettings(*m))
    s = SettingsObjectOf(*m);
  if (!s || (s->HasSettings() && s->NoSettings())) {
    std::shared_ptr<IZEModuleSettings> o = FindProcessSettings();
    if (!s || Usable(o)) s = std::move(o);
  }
  if (!s) s = SettingsObjectOf(reporter);
  return s;
}

// The unwinder gives return addresses; one byte back lies inside the call,
// so a call that ends its function still finds the caller's module.
__attribute__((noinline)) std::shared_ptr<IZESettings> SettingsForCaller() {
  const void* ret = CallerReturnAddress(0);
  return SettingsForAddress(ret ? static_cast<const char*>(ret) - 1 : nullptr);
}

__attribute__((noinline)) std::shared_ptr<IZESettings> SettingsForCallerLevel(int level) {
  const void* ret = CallerReturnAddress(level);
  return SettingsForAddress(ret ? static_cast<const char*>(ret) - 1 : nullptr);
}

}  // namespace zor
