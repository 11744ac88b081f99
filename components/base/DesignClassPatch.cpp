#include "components/base/DesignClassPatch.h"

#include "platform/classes/Component.h"
#include "platform/classes/Reader.h"
#include "platform/core/StrUtils.h"

std::int32_t TDesignClassPatch::MethodIndexOf(std::string_view Name) {
  for (const auto& [name, number] : HandlerNames)
    if (SameText(name, Name)) return number;
  HandlerNames.emplace_back(std::string(Name), NextNumber);
  return NextNumber++;
}

std::string TDesignClassPatch::NameOfMethodIndex(std::int32_t Number) const {
  for (const auto& [name, number] : HandlerNames)
    if (number == Number) return name;
  return {};
}

void TDesignClassPatch::FindMethodHandler(TReader* Reader, const std::string& MethodName, TMethod& Method,
                                          bool& Error) {
  if (!Error) return;
  Error = false;
  Method = MethodOfEntry(MakeDesignMethodEntry(MethodName, MethodIndexOf(MethodName)), Reader->Root());
}

namespace {
std::shared_ptr<const TMethodTable> GenerateTable(const TDesignClassPatch& Patch) {
  auto table = std::make_shared<TMethodTable>();
  for (const auto& [name, number] : Patch.HandlerNames) table->Entries.push_back(MakeDesignMethodEntry(name, number));
  if (Patch.SavedMethods)
    table->Entries.insert(table->Entries.end(), Patch.SavedMethods->Entries.begin(), Patch.SavedMethods->Entries.end());
  return table;
}
}  // namespace

void PatchDesignClass(TDesignClassPatch* Patch, TComponent* Form, bool KeepMethodTable) {
  if (!Patch || !Form) return;
  if (Patch->PatchedClass) UnpatchDesignClass(Patch, Form);
  const TClass cls = Form->ClassType();
  Patch->PatchedClass = cls;
  Patch->SavedMethods = cls->Methods;
  if (!Patch->HandlerNames.empty()) {
    Patch->GeneratedMethods = GenerateTable(*Patch);
    if (!KeepMethodTable) cls->Methods = Patch->GeneratedMethods;
  }
  Patch->SavedClassName = cls->Name;
  std::string name = "T" + Form->Name();
  if (name.size() > kMaxDesignClassName) name.resize(kMaxDesignClassName);
  cls->Name = std::move(name);
}

void UnpatchDesignClass(TDesignClassPatch* Patch, TComponent* Form) {
  if (!Patch || !Form || !Patch->PatchedClass) return;
  const TClass cls = Patch->PatchedClass;
  cls->Name = std::move(Patch->SavedClassName);
  cls->Methods = std::move(Patch->SavedMethods);
  Patch->SavedClassName.clear();
  Patch->SavedMethods.reset();
  Patch->GeneratedMethods.reset();
  Patch->PatchedClass = nullptr;
}
