// Process-wide parts of the component stream: global component look-up,
// global loading, references waiting for another root.
#include "platform/classes/Filer.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Filer_p.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/StrUtils.h"

KESTOVA_CLASS_INFO(TFiler, TObject, "Classes", nullptr)

namespace {

struct TGlobalFixup {
  TComponent* Holder;
  TPersistent* Instance;
  const TPropInfo* Prop;
  std::string Path;
};

// Told when a component with waiting references is freed, so that its
// entries go before they could point at freed memory.
class TFixupWatcher : public TComponent {
 public:
  TFixupWatcher() : TComponent(nullptr) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

struct TFilerGlobals {
  std::recursive_mutex Lock;
  std::vector<TFindGlobalComponent> FindProcs;
  int LoadingDepth = 0;
  std::vector<TComponent*> Loaded;
  std::vector<TGlobalFixup> Fixups;
  // Never freed: it must outlive every component that may name it.
  TFixupWatcher* Watcher = new TFixupWatcher;
};

TFilerGlobals& Globals() {
  static TFilerGlobals* globals = new TFilerGlobals;
  return *globals;
}

void TFixupWatcher::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  std::erase_if(g.Fixups, [&](const TGlobalFixup& f) { return f.Holder == AComponent; });
  std::erase(g.Loaded, AComponent);
}

}  // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  if (Proc && std::find(g.FindProcs.begin(), g.FindProcs.end(), Proc) == g.FindProcs.end()) g.FindProcs.push_back(Proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  std::erase(g.FindProcs, Proc);
}

TComponent* FindGlobalComponent(const std::string& Name) {
  auto& g = Globals();
  std::vector<TFindGlobalComponent> procs;
  {
    std::lock_guard lock(g.Lock);
    procs = g.FindProcs;
  }
  for (auto it = procs.rbegin(); it != procs.rend(); ++it)
    if (TComponent* found = (*it)(Name)) return found;
  return nullptr;
}

void BeginGlobalLoading() {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  ++g.LoadingDepth;
}

void NotifyGlobalLoading() {
  auto& g = Globals();
  std::vector<TComponent*> loaded;
  {
    std::lock_guard lock(g.Lock);
    loaded.swap(g.Loaded);
  }
  for (TComponent* c : loaded) c->Loaded();
}

void EndGlobalLoading() {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  if (g.LoadingDepth > 0 && --g.LoadingDepth == 0) g.Loaded.clear();
}

void GlobalFixupReferences() {
  auto& g = Globals();
  std::vector<TGlobalFixup> pending;
  {
    std::lock_guard lock(g.Lock);
    pending.swap(g.Fixups);
  }
  std::vector<TGlobalFixup> left;
  for (TGlobalFixup& f : pending) {
    TComponent* target = filer::ResolveReference(nullptr, f.Path);
    if (!target) {
      left.push_back(std::move(f));
      continue;
    }
    try {
      SetObjectProp(f.Instance, f.Prop, target);
    } catch (const Exception&) {
      // A component of another class under that name: the reference stays unset.
    }
  }
  std::lock_guard lock(g.Lock);
  g.Fixups.insert(g.Fixups.begin(), left.begin(), left.end());
}

void RemoveFixupReferences(TComponent* Root, const std::string& RootName) {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  std::erase_if(g.Fixups, [&](const TGlobalFixup& f) {
    if (Root && (f.Holder == Root || f.Holder->Owner() == Root)) return true;
    if (RootName.empty()) return false;
    const auto dot = f.Path.find('.');
    return CompareText(f.Path.substr(0, dot), RootName) == 0;
  });
}

int PendingGlobalFixups() {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  return static_cast<int>(g.Fixups.size());
}

namespace filer {

TComponent* FindNestedComponent(TComponent* Root, std::string_view Path) {
  TComponent* current = Root;
  while (current && !Path.empty()) {
    const auto dot = Path.find('.');
    current = current->FindComponent(Path.substr(0, dot));
    Path = dot == std::string_view::npos ? std::string_view{} : Path.substr(dot + 1);
  }
  return current;
}

TComponent* ResolveReference(TComponent* Root, const std::string& Path) {
  const auto dot = Path.find('.');
  const std::string first = Path.substr(0, dot);
  const std::string_view rest = dot == std::string::npos ? std::string_view{} : std::string_view(Path).substr(dot + 1);
  if (Root) {
    if (CompareText(first, Root->Name()) == 0) return FindNestedComponent(Root, rest);
    if (TComponent* local = FindNestedComponent(Root, Path)) return local;
  }
  return FindNestedComponent(FindGlobalComponent(first), rest);
}

void AddGlobalFixup(TComponent* Holder, TPersistent* Instance, const TPropInfo* Prop, const std::string& Path) {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  Holder->FreeNotification(g.Watcher);
  g.Fixups.push_back({Holder, Instance, Prop, Path});
}

bool GlobalLoading() {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  return g.LoadingDepth > 0;
}

void AddGlobalLoaded(TComponent* Component) {
  auto& g = Globals();
  std::lock_guard lock(g.Lock);
  Component->FreeNotification(g.Watcher);
  g.Loaded.push_back(Component);
}

bool IsAsciiText(std::string_view Text) {
  return std::all_of(Text.begin(), Text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace filer
