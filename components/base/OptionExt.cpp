#include "components/base/OptionExt.h"

#include <exception>
#include <utility>
#include <vector>

#include "components/base/OptionsIni.h"
#include "components/base/PropAccess.h"
#include "components/base/RegistrySettings.h"
#include "platform/classes/Collection.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"
#include "platform/core/StringList.h"

KESTOVA_CLASS_INFO(TOptionExt, TPersistent, "OptionExt", nullptr)

namespace {

struct TOptionsEntry {
  std::string ClassName;
  std::unique_ptr<TOptionExt> Instance;
};

std::vector<TOptionsEntry>& OptionsList() {
  static std::vector<TOptionsEntry> list;
  return list;
}

// BeginUpdate now, EndUpdate on every way out.
class TUpdateBracket {
 public:
  explicit TUpdateBracket(TOptionExt& Options) : options_(Options) { options_.BeginUpdate(); }
  ~TUpdateBracket() noexcept(false) {
    // Changed must not raise over an exception that is already on its way.
    if (std::uncaught_exceptions() > uncaught_) {
      try {
        options_.EndUpdate();
      } catch (...) {
      }
      return;
    }
    options_.EndUpdate();
  }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;

 private:
  TOptionExt& options_;
  int uncaught_ = std::uncaught_exceptions();
};

TOptionExt* MakeOptions(TClass Class) {
  if (!Class || !Class->InheritsFrom(TOptionExt::StaticClass()) || !Class->Factory)
    throw EInvalidCast(kInvalidCastText);
  return static_cast<TOptionExt*>(Class->Factory(nullptr));
}

// A property walk: the objects being walked, so that an object that refers
// back to one of them does not send the walk round for ever.
struct TPropsReaderWriter {
  std::string Key;  // with a trailing backslash
  bool Writing = false;
  std::vector<const TObject*> Walking;
};

void WalkOptionProps(TObject* Obj, const std::string& Key, bool Writing, std::vector<const TObject*>& Walking);

void VisitProp(TObject* Instance, const TPropInfo* Prop, void* Data) {
  auto& walk = *static_cast<TPropsReaderWriter*>(Data);
  const std::string path = walk.Key + Prop->Name;
  if (Prop->PropType && Prop->PropType->Kind == tkClass) {
    TObject* value = GetObjectProp(Instance, Prop);
    if (!value) return;
    if (auto* strings = dynamic_cast<TStrings*>(value)) {
      walk.Writing ? WriteRegStrings(path, *strings) : ReadRegStrings(path, *strings);
    } else if (auto* collection = dynamic_cast<TCollection*>(value)) {
      walk.Writing ? SaveObjectToRegistryText(path, collection) : LoadObjectFromRegistryText(path, collection);
    } else {
      WalkOptionProps(value, path, walk.Writing, walk.Walking);
    }
    return;
  }
  const TVariant current = GetPropAsVariant(Instance, Prop);
  if (walk.Writing)
    WriteRegVariant(path, current);
  else
    SetPropFromVariant(Instance, Prop, ReadRegVariant(path, current));
}

void WalkOptionProps(TObject* Obj, const std::string& Key, bool Writing, std::vector<const TObject*>& Walking) {
  if (!Obj) return;
  for (const TObject* walking : Walking)
    if (walking == Obj) return;
  TPropsReaderWriter walk{Key, Writing, Walking};
  if (walk.Key.empty() || walk.Key.back() != '\\') walk.Key += '\\';
  walk.Walking.push_back(Obj);
  ForEachStoredProp(Obj, true, &walk, VisitProp);
}

}  // namespace

void TOptionExt::Assign(const TPersistent* Source) {
  TUpdateBracket bracket(*this);
  CopyProps(Source, this);
}

void TOptionExt::LoadFromStorage() {
  TUpdateBracket bracket(*this);
  if (OptionsStorageInIni())
    ReadOptionsFromIni(GetStoredObject(), GetStorageKey());
  else
    ReadOptionProps(GetStoredObject(), GetStorageKey());
}

void TOptionExt::SaveToStorage() {
  if (OptionsStorageInIni())
    WriteOptionsToIni(GetStoredObject(), GetStorageKey());
  else
    WriteOptionProps(GetStoredObject(), GetStorageKey());
}

std::string TOptionExt::GetStorageKey() const { return ClassName().substr(1); }

void TOptionExt::Apply() {
  if (global_) return Changed();
  TOptionExt* global = GlobalOptions();
  if (!global) return;
  TUpdateBracket bracket(*this);
  global->Assign(this);
}

void TOptionExt::EndUpdate() {
  if (updateCount_ < 1) return;
  if (--updateCount_ == 0) Changed();
}

TOptionExt* TOptionExt::GlobalOptions() const { return global_ ? nullptr : FindOptionExt(ClassType()); }

TOptionExt* FindOptionExt(TClass Class) {
  if (!Class) return nullptr;
  for (const TOptionsEntry& entry : OptionsList())
    if (entry.ClassName == Class->Name) return entry.Instance.get();
  return nullptr;
}

TOptionExt* GetOptionExt(TClass Class) {
  if (TOptionExt* found = FindOptionExt(Class)) return found;
  std::vector<TOptionsEntry>& list = OptionsList();
  list.push_back({Class->Name, std::unique_ptr<TOptionExt>(MakeOptions(Class))});
  TOptionExt* options = list.back().Instance.get();
  options->global_ = true;
  try {
    options->InitDefaults();
    options->LoadFromStorage();
  } catch (...) {
    std::erase_if(list, [&](const TOptionsEntry& entry) { return entry.Instance.get() == options; });
    throw;
  }
  return options;
}

std::unique_ptr<TOptionExt> CreateOptionExt(TClass Class) {
  TOptionExt* global = GetOptionExt(Class);
  std::unique_ptr<TOptionExt> copy(MakeOptions(Class));
  copy->Assign(global);
  return copy;
}

void FreeOptionExtList() {
  std::vector<TOptionsEntry>& list = OptionsList();
  std::exception_ptr firstError;
  for (TOptionsEntry& entry : list) {
    try {
      entry.Instance->SaveToStorage();
    } catch (...) {
      if (!firstError) firstError = std::current_exception();
    }
  }
  std::vector<TOptionsEntry> freed = std::move(list);
  list.clear();
  freed.clear();
  if (firstError) std::rethrow_exception(firstError);
}

void AssignPropsByName(const TObject* Source, TObject* Dest, std::string_view Names) {
  if (!Source || !Dest || Source == Dest) return;
  size_t start = 0;
  while (start <= Names.size()) {
    const size_t comma = std::min(Names.find(',', start), Names.size());
    const std::string name = Trim(Names.substr(start, comma - start));
    if (!name.empty()) CopyPropByName(Source, Dest, name);
    start = comma + 1;
  }
}

void ReadOptionProps(TObject* Obj, const std::string& Key) {
  std::vector<const TObject*> walking;
  WalkOptionProps(Obj, Key, false, walking);
}

void WriteOptionProps(TObject* Obj, const std::string& Key) {
  std::vector<const TObject*> walking;
  WalkOptionProps(Obj, Key, true, walking);
}
