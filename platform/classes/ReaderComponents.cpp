// TReader: components, properties and references.
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer_p.h"
#include "platform/classes/MethodTable.h"
#include "platform/classes/Reader.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/StrUtils.h"

bool TReader::Error(const std::string& Message) {
  bool handled = false;
  if (OnError) OnError(this, Message, handled);
  if (!handled) throw EReadError(Message);
  return true;
}

TClass TReader::FindComponentClass(const std::string& ClassName) {
  TClass result = nullptr;
  if (OnFindComponentClass) OnFindComponentClass(this, ClassName, result);
  if (!result) result = GetClass(ClassName);
  if (!result || !result->InheritsFrom(TComponent::StaticClass()))
    throw EClassNotFound(Format(kClassNotFoundText, {ClassName}));
  return result;
}

TMethod TReader::FindMethod(TComponent* ARoot, const std::string& MethodName) {
  TMethod method = ARoot ? MethodAddress(ARoot, MethodName) : TMethod{};
  bool error = !method.Assigned();
  if (OnFindMethod) OnFindMethod(this, MethodName, method, error);
  if (error) Error(Format(kMethodNotFoundText, {MethodName}));
  return method;
}

TComponent* TReader::MakeComponent(const std::string& ClassName) {
  const TClass cls = FindComponentClass(ClassName);
  TComponent* made = nullptr;
  if (OnCreateComponent) OnCreateComponent(this, cls, made);
  if (made) return made;
  if (!cls->Factory) throw EClassNotFound(Format(kClassNotFoundText, {ClassName}));
  TObject* object = cls->Factory(owner_);
  made = dynamic_cast<TComponent*>(object);
  if (!made) {
    FreeAndNil(object);
    throw EReadError(kInvalidImageText);
  }
  return made;
}

void TReader::ReadPrefix(TFilerFlags& Flags, std::int32_t& ChildPos) {
  Flags = {};
  ChildPos = 0;
  std::uint8_t prefix = 0;
  Read(&prefix, 1);
  if ((prefix & 0xF0) != 0xF0) {
    Stream().Seek(-1, TSeekOrigin::soCurrent);
    return;
  }
  if (prefix & 0x08) throw EReadError(kInvalidImageText);
  Flags = TFilerFlags::FromBits(prefix & 0x07);
  if (Flags.Contains(ffChildPos)) ChildPos = ReadInteger();
}

TComponent* TReader::ReadRootComponent(TComponent* ARoot) {
  ReadSignature();
  const std::int64_t start = Stream().Position();
  TFilerFlags flags;
  std::int32_t childPos = 0;
  ReadPrefix(flags, childPos);
  const std::string className = ReadStr();
  Stream().SetPosition(start);
  const bool made = !ARoot;
  if (made) {
    owner_ = nullptr;
    ARoot = MakeComponent(className);
  }
  SetRoot(ARoot);
  lookupRoot_ = ARoot;
  try {
    ReadComponent(ARoot);
  } catch (...) {
    if (made) ARoot->Free();
    SetRoot(nullptr);
    throw;
  }
  return ARoot;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  const bool top = depth_ == 0;
  const TReaderDepth depth(*this);
  TFilerFlags flags;
  std::int32_t childPos = 0;
  ReadPrefix(flags, childPos);
  const std::string className = ReadStr();
  std::string name = ReadStr();
  bool made = false;
  if (!Component && flags.Contains(ffInherited) && owner_) Component = owner_->FindComponent(name);
  if (!Component) {
    Component = MakeComponent(className);
    made = true;
  }
  TComponent* const outer = current_;
  try {
    if (!Root()) SetRoot(Component);
    current_ = Component;
    Component->State().Include(csLoading);
    Component->State().Include(csReading);
    if (Component != Root() && parent_) Component->SetParentComponent(parent_);
    if (OnSetName) OnSetName(this, Component, name);
    try {
      Component->SetName(name);
    } catch (const EComponentError& e) {
      throw EReadError(e.Message());
    }
    loaded_.push_back(Component);
    while (!EndOfList()) ReadProperty(Component);
    ReadListEnd();
    ReadChildren(Component);
    current_ = outer;
  } catch (...) {
    current_ = outer;
    if (made) {
      std::erase(loaded_, Component);
      std::erase_if(fixups_, [&](const TFixup& f) { return f.Holder == Component; });
      Component->Free();
    }
    if (top) AbandonRead();
    throw;
  }
  if (top) {
    try {
      FixupReferences();
    } catch (...) {
      AbandonRead();
      throw;
    }
    NotifyLoaded();
  }
  return Component;
}

void TReader::ReadChildren(TComponent* Component) {
  TComponent* const oldOwner = owner_;
  TComponent* const oldParent = parent_;
  TComponent* childOwner = Component->GetChildOwner();
  owner_ = childOwner ? childOwner : Root();
  parent_ = Component->GetChildParent();
  try {
    while (!EndOfList()) ReadComponent(nullptr);
    ReadListEnd();
  } catch (...) {
    owner_ = oldOwner;
    parent_ = oldParent;
    throw;
  }
  owner_ = oldOwner;
  parent_ = oldParent;
}

void TReader::AbandonRead() {
  for (TComponent* c : loaded_) {
    c->State().Exclude(csReading);
    c->State().Exclude(csLoading);
  }
  loaded_.clear();
  fixups_.clear();
}

void TReader::NotifyLoaded() {
  std::vector<TComponent*> loaded;
  loaded.swap(loaded_);
  for (TComponent* c : loaded) c->State().Exclude(csReading);
  const bool global = filer::GlobalLoading();
  for (TComponent* c : loaded) {
    if (global)
      filer::AddGlobalLoaded(c);
    else
      c->Loaded();
  }
}
