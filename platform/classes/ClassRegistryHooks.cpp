#include <atomic>

#include "platform/classes/ClassRegistry.h"

namespace {

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
