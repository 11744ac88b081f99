#include "platform/classes/MethodTable.h"

#include "platform/classes/TypInfoPublish.h"
#include "platform/core/StrUtils.h"

void detail::AddPublishedMethod(TClassInfo& Info, std::shared_ptr<const TMethodEntry> Entry) {
  auto table = Info.Methods ? std::make_shared<TMethodTable>(*Info.Methods) : std::make_shared<TMethodTable>();
  bool replaced = false;
  for (auto& entry : table->Entries)
    if (SameText(entry->Name, Entry->Name)) {
      entry = Entry;
      replaced = true;
    }
  if (!replaced) table->Entries.push_back(std::move(Entry));
  Info.Methods = std::move(table);
}

std::shared_ptr<const TMethodEntry> FindMethodEntry(TClass Class, std::string_view Name) {
  for (TClass c = Class; c; c = c->Parent)
    if (c->Methods)
      for (const auto& entry : c->Methods->Entries)
        if (SameText(entry->Name, Name)) return entry;
  return nullptr;
}

TMethod MethodAddress(TObject* Instance, std::string_view Name) {
  if (!Instance) return {};
  return MethodOfEntry(FindMethodEntry(Instance->ClassType(), Name), Instance);
}

std::string MethodName(TClass Class, const TMethod& Method) {
  if (Method.Entry) return Method.Entry->Name;
  if (!Method.Code) return {};
  for (TClass c = Class; c; c = c->Parent)
    if (c->Methods)
      for (const auto& entry : c->Methods->Entries)
        if (entry->Code == Method.Code) return entry->Name;
  return {};
}
