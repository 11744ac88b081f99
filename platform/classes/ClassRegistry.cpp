#include "platform/classes/ClassRegistry.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

namespace {

struct TRegistration {
  TClass Class;
  TModuleTag Module;
};

struct TClassRegistry {
  std::mutex Mutex;
  std::vector<TRegistration> Classes;
  TModuleTag Registering = 0;

  // Callers hold Mutex.
  TClass Find(std::string_view Name) const {
    for (const TRegistration& r : Classes)
      if (SameText(r.Class->Name, Name)) return r.Class;
    return nullptr;
  }
  bool Holds(TClass Class) const {
    return std::any_of(Classes.begin(), Classes.end(), [&](const TRegistration& r) { return r.Class == Class; });
  }
};

TClassRegistry& Registry() {
  static TClassRegistry registry;
  return registry;
}

}  // namespace

TModuleTag SetRegisteringModule(TModuleTag Module) {
  TClassRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  return std::exchange(registry.Registering, Module);
}

TModuleTag RegisteringModule() {
  TClassRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  return registry.Registering;
}

void RegisterClass(TClass Class) {
  TClassRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  const TClass persistent = TPersistent::StaticClass();
  for (TClass c = Class; c && !registry.Holds(c); c = c->Parent) {
    if (registry.Find(c->Name)) throw EFilerError(Format(kDuplicateClassText, {c->Name}));
    registry.Classes.push_back({c, registry.Registering});
    if (c == persistent) break;
  }
}

void RegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass c : Classes) RegisterClass(c);
}

void UnRegisterClass(TClass Class) {
  TClassRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  std::erase_if(registry.Classes, [&](const TRegistration& r) { return r.Class == Class; });
}

void UnRegisterModuleClasses(TModuleTag Module) {
  TClassRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  std::erase_if(registry.Classes, [&](const TRegistration& r) { return r.Module == Module; });
}

TClass GetClass(std::string_view Name) {
  TClassRegistry& registry = Registry();
  std::lock_guard lock(registry.Mutex);
  return registry.Find(Name);
}

TClass FindClass(std::string_view Name) {
  if (TClass c = GetClass(Name)) return c;
  throw EClassNotFound(Format(kClassNotFoundText, {Name}));
}

namespace {

// Registration hooks: set at start-up, read by any registering thread.
std::atomic<TRegisterComponentsProc> componentsHook{nullptr};
std::atomic<TRegisterClassesProc> noIconHook{nullptr};
std::atomic<TRegisterClassesProc> nonActiveXHook{nullptr};

}  // namespace

TRegisterComponentsProc RegisterComponentsProc() { return componentsHook.load(); }
void SetRegisterComponentsProc(TRegisterComponentsProc Proc) { componentsHook.store(Proc); }
TRegisterClassesProc RegisterNoIconProc() { return noIconHook.load(); }
void SetRegisterNoIconProc(TRegisterClassesProc Proc) { noIconHook.store(Proc); }
TRegisterClassesProc RegisterNonActiveXProc() { return nonActiveXHook.load(); }
void SetRegisterNonActiveXProc(TRegisterClassesProc Proc) { nonActiveXHook.store(Proc); }

void RegisterComponents(const std::string& Page, std::span<const TClass> Classes) {
  if (const auto hook = componentsHook.load()) hook(Page, Classes);
}

void RegisterNoIcon(std::span<const TClass> Classes) {
  if (const auto hook = noIconHook.load()) hook(Classes);
}

void RegisterNonActiveX(std::span<const TClass> Classes) {
  if (const auto hook = nonActiveXHook.load()) hook(Classes);
}

namespace {
struct IntegerConsts {
  TIdentToIntProc toInt;
  TIntToIdentProc toIdent;
};
std::mutex integerConstsLock;
std::map<const TTypeInfo*, IntegerConsts>& IntegerConstsMap() {
  static std::map<const TTypeInfo*, IntegerConsts> map;
  return map;
}
}  // namespace

void RegisterIntegerConsts(const TTypeInfo* IntegerType, TIdentToIntProc IdentToInt, TIntToIdentProc IntToIdent) {
  std::lock_guard lock(integerConstsLock);
  IntegerConstsMap()[IntegerType] = {IdentToInt, IntToIdent};
}

void FindIntegerConsts(const TTypeInfo* IntegerType, TIdentToIntProc& IdentToInt, TIntToIdentProc& IntToIdent) {
  std::lock_guard lock(integerConstsLock);
  const auto& map = IntegerConstsMap();
  const auto it = map.find(IntegerType);
  IdentToInt = it == map.end() ? nullptr : it->second.toInt;
  IntToIdent = it == map.end() ? nullptr : it->second.toIdent;
}
