// typeinfo [class]...   e.g. typeinfo TTypeFixtureChild
// Lists each class's published properties in declaration order (ancestors
// first) with kind, named type, default and stored test, then its published
// methods. Without arguments it lists the type fixture classes.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/MethodTable.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/Exceptions.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/StrUtils.h"
#include "testing/TypeFixture.h"

namespace {

std::string SetText(const TTypeInfo* elementType, std::int64_t bits) {
  std::string text;
  for (int n = 0; n < 64; ++n)
    if (bits & (std::int64_t{1} << n)) text += (text.empty() ? "" : ",") + GetEnumName(elementType, n);
  return "[" + text + "]";
}

std::string DefaultText(const TPropInfo& prop) {
  if (!prop.Default) return "-";
  const TTypeInfo* type = prop.PropType;
  if (type->Kind == tkSet) return SetText(type->Data.CompType, *prop.Default);
  // Colours read best as 0xSSBBGGRR.
  if (type == TypeInfos::TColor()) return Format("$%.8X", {static_cast<std::uint32_t>(*prop.Default)});
  return GetEnumName(type, *prop.Default);
}

// The stored test as declared; a test that asks the object shows its answer
// for a new object.
std::string StoredText(const TPropInfo& prop, const TObject* fresh) {
  if (!prop.StoredProc) return prop.StoredConst ? "yes" : "no";
  if (!fresh) return "by object";
  return std::string("by object (new: ") + (IsStoredProp(fresh, &prop) ? "yes" : "no") + ")";
}

std::string MethodTypeText(const TTypeInfo* type) {
  std::string text;
  for (const TParamData& p : type->Data.Params) {
    if (!text.empty()) text += "; ";
    if (p.Flags.Contains(pfVar)) text += "var ";
    if (p.Flags.Contains(pfConst)) text += "const ";
    if (p.Flags.Contains(pfOut)) text += "out ";
    text += p.ParamName + ": " + p.TypeName;
  }
  const bool function = type->Data.MethodKind == mkFunction || type->Data.MethodKind == mkSafeFunction;
  return (function ? "function(" : "procedure(") + text + ")" + (function ? ": " + type->Data.ResultType : "") +
         " of object";
}

void List(TClass cls) {
  std::printf("%s(%s), unit %s\n", cls->Name.c_str(), cls->Parent ? cls->Parent->Name.c_str() : "",
              ClassUnitName(cls).c_str());
  // A new object answers the stored tests; a class without a factory shows
  // them unanswered.
  std::unique_ptr<TObject, void (*)(TObject*)> fresh(cls->Factory ? cls->Factory(nullptr) : nullptr,
                                                     [](TObject* o) { FreeAndNil(o); });
  std::printf("  %-3s %-12s %-14s %-20s %-18s %s\n", "#", "property", "kind", "type", "default", "stored");
  for (const TPropInfo* prop : GetPropInfos(cls)) {
    const std::string& type = prop->PropType->Name;
    std::string stored = StoredText(*prop, fresh.get());
    if (prop->DeclaringClass != cls) stored += ", from " + prop->DeclaringClass->Name;
    if (prop->Index != kNoPropIndex) stored += ", index " + IntToStr(prop->Index);
    std::printf("  %-3d %-12s %-14s %-20s %-18s %s\n", prop->NameIndex, prop->Name.c_str(),
                GetEnumName(TypeInfos::TTypeKind(), prop->PropType->Kind).c_str(), type.c_str(),
                DefaultText(*prop).c_str(), stored.c_str());
    if (prop->PropType->Kind == tkMethod) std::printf("      %s\n", MethodTypeText(prop->PropType).c_str());
  }
  for (TClass c = cls; c; c = c->Parent)
    if (c->Methods)
      for (const auto& entry : c->Methods->Entries)
        std::printf("  method %s%s\n", entry->Name.c_str(), c == cls ? "" : (", from " + c->Name).c_str());
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  RegisterTypeFixtures();
  std::vector<std::string> names(argv + 1, argv + argc);
  if (names.empty()) names = {"TFixturePart", "TTypeFixture", "TTypeFixtureChild"};
  try {
    for (const std::string& name : names) List(FindClass(name));
  } catch (const Exception& e) {
    std::fprintf(stderr, "typeinfo: %s\n", e.what());
    return 1;
  }
  return 0;
}
