// Stored forms: a component class's form read from the resource store, and
// the data module, which is read the same way.
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Forms.h"
#include "platform/core/ResourceStore.h"
#include "platform/core/Streams.h"
#include "platform/ui/Screen.h"

bool ReadStoredForm(TComponent* Root, TClass Base) {
  std::vector<TClass> chain;  // Root's class first
  for (TClass c = Root->ClassType(); c && c != Base; c = c->Parent) chain.push_back(c);
  bool read = false;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const std::optional<std::string> bytes = ResourceStore::Instance().Find("RCDATA", (*it)->Name);
    if (!bytes) continue;
    TStringStream binary;
    if (bytes->starts_with("TPF0")) {
      binary.WriteString(*bytes);
    } else {
      TStringStream text(*bytes);
      ObjectTextToBinary(text, binary);
    }
    binary.SetPosition(0);
    ReadComponentFromStream(binary, Root);
    read = true;
  }
  return read;
}

KESTOVA_CLASS_INFO(TDataModule, TComponent, "Forms", &MakeComponent<TDataModule>)

TDataModule::TDataModule(TComponent* AOwner) : TComponent(AOwner) { Screen->AddDataModule(this); }

TDataModule::TDataModule(TComponent* AOwner, CreateNew) : TDataModule(AOwner) { readStored_ = false; }

TDataModule::~TDataModule() { Screen->RemoveDataModule(this); }

void TDataModule::AfterConstruction() {
  TComponent::AfterConstruction();
  if (readStored_) ReadStoredForm(this, TDataModule::StaticClass());
}

void TDataModule::GetChildren(TGetChildProc Proc, TComponent* Root) {
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->GetParentComponent()) Proc(Components(i));
}
