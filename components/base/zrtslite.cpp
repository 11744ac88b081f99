#include "components/base/zrtslite.h"

#include "components/base/MessageBroadcast.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/List.h"
#include "platform/core/StringList.h"

namespace {

void DescribeTComponentSource(TClassInfo& Info) {
  using P = TComponentSource;
  TClassPublisher<P> p(Info);
  p.Property<&P::Version>("Version", TypeInfos::String()).Stored(false);
}

void DescribeTZRStringSource(TClassInfo& Info) {
  using P = TZRStringSource;
  TClassPublisher<P> p(Info);
  p.Property<&P::GetLink, &P::SetLink>("Link", ClassTypeInfo(TPersistent::StaticClass()));
  p.Property<&P::PropName, &P::SetPropName>("PropName", TypeInfos::String());
}

}  // namespace

KESTOVA_CLASS_INFO(TTreeSource, TComponent, "ZRGen", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TComponentSource, TTreeSource, "zrtslite", &MakeComponent<TComponentSource>,
                             DescribeTComponentSource)
KESTOVA_CLASS_INFO(TZRPersistentSource, TComponentSource, "zrtslite", nullptr)
KESTOVA_CLASS_INFO(TCustomZRStringSource, TZRPersistentSource, "zrtslite", nullptr)
KESTOVA_CLASS_INFO_DESCRIBED(TZRStringSource, TCustomZRStringSource, "zrtslite", &MakeComponent<TZRStringSource>,
                             DescribeTZRStringSource)

bool TakePostedNodeRec(const TMessage& Message, TNodeRec& Rec) {
  const auto* posted = reinterpret_cast<const TPostedNodeRec*>(Message.WParam);
  if (!posted || posted->SourceLife.expired()) return false;
  Rec = posted->Rec;
  return true;
}

// ---- TComponentSource ----

TComponentSource::TComponentSource(TComponent* AOwner) : TTreeSource(AOwner) { AddMessageAnswer(this); }

TComponentSource::~TComponentSource() { RemoveMessageAnswer(this); }

void TComponentSource::SetCurrent(TNodeID ID) {
  current_ = ID;
  if (ID == 0) return;
  navigate_ = TNodeRec{};
  navigate_.Data = reinterpret_cast<std::intptr_t>(static_cast<TTreeSource*>(this));
  PostNotify(navigate_, tnNavigate);
}

void TComponentSource::SetLink(TPersistent* Value) {
  if (Value == link_) return;
  link_ = Value;
  if (auto* component = dynamic_cast<TComponent*>(Value)) component->FreeNotification(this);
  if (ComponentState().Contains(csDestroying)) return;
  Changed();
  ImagesChanged();
}

void TComponentSource::SetLargeImages(TImageList* Value) {
  if (Value == largeImages_) return;
  largeImages_ = Value;
  ImagesChanged();
}

void TComponentSource::SetSmallImages(TImageList* Value) {
  if (Value == smallImages_) return;
  smallImages_ = Value;
  ImagesChanged();
}

void TComponentSource::SetStateImages(TImageList* Value) {
  if (Value == stateImages_) return;
  stateImages_ = Value;
  ImagesChanged();
}

void TComponentSource::SetNodeText(TNodeID ID, const std::string& Text) {
  TNodeRec rec;
  rec.ID = ID;
  rec.Text = Text;
  TList list;
  list.Add(&rec);
  Notify(&list, tnNodesChanged);
  DesignerModified(link_);
}

void TComponentSource::DeleteAll() {
  TNodeRec rec;
  rec.ID = reinterpret_cast<TNodeID>(link_);
  rec.Data = 1;
  Notify(&rec, tnDeleted);
  DesignerModified(link_);
}

void TComponentSource::DeleteNode(TNodeID ID) {
  if (!CanPerform(ID, toDelete)) return;
  current_ = 0;
  TNodeRec rec;
  rec.ID = ID;
  Notify(&rec, tnDeleted);
  DesignerModified(link_);
}

void TComponentSource::MoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) { DesignerModified(link_); }

void TComponentSource::GetDisplayText(TNodeID ID, std::string& Text) {
  Text.clear();
  if (ID == 0) return;
  Text = reinterpret_cast<const TObject*>(ID)->ClassName();
  if (!Text.empty() && (Text[0] == 'T' || Text[0] == 't')) Text.erase(0, 1);
}

void TComponentSource::GetObjectClassName(TObject* Object, std::string& Text) {
  Text = Object ? Object->ClassName() : std::string();
}

bool TComponentSource::IsLinkValid() {
  if (auto* component = dynamic_cast<TComponent*>(link_)) return !component->ComponentState().Contains(csDestroying);
  return link_ != nullptr;
}

void TComponentSource::Changed() {
  TNodeRec rec;
  Notify(&rec, tnRebuild);
}

void TComponentSource::ImagesChanged() {
  TNodeRec rec;
  Notify(&rec, tnImagesChanged);
}

void TComponentSource::NotifyNodeInserted(TNodeID ID, TNodeID ParentID, std::uint8_t Mode, const std::string& Text) {
  TNodeRec rec;
  rec.ID = ID;
  rec.ChildKey = ParentID != 0 ? ParentID : reinterpret_cast<TNodeID>(link_);
  rec.Source = this;
  rec.Mode = Mode;
  rec.Text = Text;
  if (rec.Text.empty()) GetDisplayText(ID, rec.Text);
  Notify(&rec, tnInserted);
  SetNodeText(ID, rec.Text);
  DesignerModified(link_);
}

void TComponentSource::Notify(void* Data, std::int32_t Code) { TreeSourceNotifiers()->Notify(this, Data, Code); }

void TComponentSource::PostNotify(const TNodeRec& Rec, std::int32_t Code) {
  auto posted = std::make_shared<TPostedNodeRec>(TPostedNodeRec{Rec, life_});
  TreeSourceNotifiers()->PostToAll(ZRM_TREESOURCECHANGED, std::move(posted), Code);
}

void TComponentSource::Notification(TComponent* AComponent, TOperation Operation) {
  TTreeSource::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent || AComponent != link_) return;
  SetLink(nullptr);
  BroadcastMessage(this, ZRM_TREESOURCELINKCHANGED, reinterpret_cast<std::uintptr_t>(static_cast<TObject*>(this)), 0);
}

// ---- TZRPersistentSource ----

void TZRPersistentSource::SetPropName(const std::string& Value) {
  if (Value == propName_) return;
  propName_ = Value;
  LinkChanged();
}

void TZRPersistentSource::SetLink(TPersistent* Value) {
  TComponentSource::SetLink(Value);
  LinkChanged();
}

void TZRPersistentSource::NotifyNodeInserted(TNodeID ID, TNodeID ParentID, std::uint8_t Mode,
                                             const std::string& Text) {
  TComponentSource::NotifyNodeInserted(ID, ParentID != 0 ? ParentID : kChildKeyIsID, Mode, Text);
}

// ---- TCustomZRStringSource ----

void TCustomZRStringSource::SetStrings(TStrings* List) {
  if (List == strings_) return;
  strings_ = List;
  Changed();
}

void TCustomZRStringSource::LinkChanged() {
  strings_ = nullptr;
  if (TPersistent* link = GetLink()) {
    if (const TPropInfo* prop = GetPropInfo(link->ClassType(), PropName(), TTypeKinds{tkClass}))
      strings_ = dynamic_cast<TStrings*>(GetObjectProp(link, prop));
  }
  Changed();
}

void TCustomZRStringSource::EnumChildren(TNodeID Key, TEnumNodeProc Proc, void* UserValue) {
  if (Key != 0 || !strings_) return;
  // By index against the current count: a callback may change the list.
  for (int i = 0; i < strings_->Count(); ++i) {
    TNodeRec rec;
    rec.ID = i + 1;
    rec.ChildKey = kChildKeyIsID;
    rec.Text = strings_->Strings(i);
    rec.Source = this;
    Proc(UserValue, rec);
  }
}

void TCustomZRStringSource::SetNodeText(TNodeID ID, const std::string& Text) {
  // An ID that names no string is ignored like a missing list: renames
  // never raise.
  if (!strings_ || ID < 1 || ID > strings_->Count()) return;
  strings_->Put(static_cast<int>(ID - 1), Text);
  TZRPersistentSource::SetNodeText(ID, Text);
}

void TCustomZRStringSource::DeleteAll() {
  if (!strings_) return;
  strings_->Clear();
  TZRPersistentSource::DeleteAll();
}

void TCustomZRStringSource::MoveNode(TNodeID ID, TNodeID TargetID, std::uint8_t Mode) {
  const int count = strings_ ? strings_->Count() : 0;
  const bool inRange = ID >= 1 && ID <= count && (Mode != naInsert || (TargetID >= 1 && TargetID <= count));
  if (strings_ && inRange && CanMoveNode(ID, TargetID, Mode)) {
    const int old = static_cast<int>(ID - 1);
    const std::string text = strings_->Strings(old);
    TObject* object = strings_->Objects(old);
    TNodeID moved;
    if (Mode == naInsert) {
      strings_->InsertObject(static_cast<int>(TargetID - 1), text, object);
      const bool targetAfter = TargetID > ID;
      strings_->Delete(targetAfter ? old : old + 1);
      moved = targetAfter ? TargetID - 1 : TargetID;
    } else {
      strings_->AddObject(text, object);
      strings_->Delete(old);
      moved = strings_->Count();
    }
    Changed();
    TNodeRec rec;
    rec.ID = moved;
    rec.Data = reinterpret_cast<std::intptr_t>(static_cast<TTreeSource*>(this));
    Notify(&rec, tnNavigate);
  }
  TZRPersistentSource::MoveNode(ID, TargetID, Mode);
}

bool TCustomZRStringSource::CanPerform(TNodeID ID, std::int32_t Operation) {
  switch (Operation) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 9:
    case 10:
    case 12:
    case 15:
      return true;
    default:
      return false;
  }
}

void TCustomZRStringSource::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent && AComponent == GetLink()) strings_ = nullptr;
  TZRPersistentSource::Notification(AComponent, Operation);
}
