#include "components/codeedit/MemoTemplates.h"

#include <cstdint>

#include "components/base/ObjectParams.h"
#include "components/base/zrbaselib.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/core/AnsiStrings.h"

TMemoCodeTemplate::TMemoCodeTemplate(TCollection* Collection)
    : TZRNamedItem(Collection), code_(std::make_unique<TStringList>()) {}

TMemoCodeTemplate::~TMemoCodeTemplate() = default;

void TMemoCodeTemplate::SetCode(const TStrings* Value) { code_->Assign(Value); }

namespace {
TClass TemplateClass(TClass ItemClass) {
  const TClass base = TMemoCodeTemplate::StaticClass();
  return ItemClass && ItemClass->InheritsFrom(base) ? ItemClass : base;
}
}  // namespace

TMemoCodeTemplates::TMemoCodeTemplates(TPersistent* AOwner, TClass ItemClass)
    : TZRNamedItems(AOwner, TemplateClass(ItemClass)) {}

TMemoCodeTemplate* TMemoCodeTemplates::AddTemplate(const std::string& Name, const std::string& Description,
                                                   const std::string& Code) {
  auto* t = static_cast<TMemoCodeTemplate*>(Add());
  t->Name = Name;
  t->Description = Description;
  t->Code()->SetText(Code);
  return t;
}

void FillTemplates(TMemoCodeTemplates* Templates, std::span<const TTemplateRec> Records) {
  Templates->BeginUpdate();
  try {
    Templates->Clear();
    for (const TTemplateRec& r : Records) Templates->AddTemplate(r.Name, r.Description, r.Code);
  } catch (...) {
    Templates->EndUpdate();
    throw;
  }
  Templates->EndUpdate();
}

// ---- Kinds ----

namespace {
constexpr const char* kLangParam = "CodeTemplates.Lang";
constexpr const char* kProcParam = "CodeTemplates.Proc";

std::vector<TObjectParamListItem*>& Kinds() {
  static std::vector<TObjectParamListItem*> kinds;
  return kinds;
}

void FillDelphi(TMemoCodeTemplates* T) { FillTemplates(T, DelphiTemplates()); }
void FillCppBuilder(TMemoCodeTemplates* T) { FillTemplates(T, CppBuilderTemplates()); }
void FillClipper(TMemoCodeTemplates* T) { FillTemplates(T, ClipperTemplates()); }
}  // namespace

TObjectParamListItem* RegisterTemplateKind(const std::string& Name, TFillTemplatesProc* Proc) {
  // A kind without a procedure keeps a null procedure, which ParamProc
  // reads back as none.
  return RegisterObjectParams(
      TMemoCodeTemplates::StaticClass(), {kLangParam, kProcParam},
      {TVariant(Name), Proc ? TVariant(Proc) : TVariant(static_cast<TFillTemplatesProc*>(nullptr))});
}

TObjectParamListItem* FindTemplateKind(const std::string& Name) {
  return FindObjectParamsExact(TMemoCodeTemplates::StaticClass(), {kLangParam}, 0, {TVariant(Name)});
}

void RegisterTemplateKinds() {
  Kinds().push_back(RegisterTemplateKind("None", nullptr));
  Kinds().push_back(RegisterTemplateKind("Custom", nullptr));
  Kinds().push_back(RegisterTemplateKind("Delphi", &FillDelphi));
  Kinds().push_back(RegisterTemplateKind("C++ Builder", &FillCppBuilder));
  Kinds().push_back(RegisterTemplateKind("Clipper", &FillClipper));
}

void UnregisterTemplateKinds() {
  for (TObjectParamListItem* entry : Kinds()) entry->Free();
  Kinds().clear();
}

// ---- The pop-up list ----

int FillTemplateList(const TMemoCodeTemplates* Templates, TStrings* List, const std::string& Prefix) {
  List->BeginUpdate();
  List->Clear();
  const int count = Templates->Count();
  const std::string prefix = AnsiUpperCase(Prefix);
  auto startsWith = [&](int I) { return AnsiUpperCase(Templates->Template(I)->Name).starts_with(prefix); };
  int first = -1;
  if (!prefix.empty())
    for (int i = 0; i < count && first < 0; ++i)
      if (startsWith(i)) first = i;
  const bool exact = first >= 0 && AnsiUpperCase(Templates->Template(first)->Name) == prefix;
  auto add = [&](int I) {
    const TMemoCodeTemplate* t = Templates->Template(I);
    const std::string marker(1, EmphasisMarker);
    List->AddObject(t->Description + "|" + marker + t->Name + marker,
                    reinterpret_cast<TObject*>(static_cast<std::intptr_t>(I)));
  };
  if (exact) {
    add(first);
  } else {
    for (int i = 0; i < count; ++i)
      if (first < 0 || startsWith(i)) add(i);
  }
  List->EndUpdate();
  return exact ? 0 : -1;
}

namespace {
void DescribeTMemoCodeTemplate(TClassInfo& Info) {
  using T = TMemoCodeTemplate;
  TClassPublisher<T> p(Info);
  p.Property<&T::Description, &T::Description>("Description", TypeInfos::String());
  p.Property<&T::Code, &T::SetCode>("Code", ClassTypeInfo(TStrings::StaticClass()));
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TMemoCodeTemplate, TZRNamedItem, "zrstring", &MakeCollectionItem<TMemoCodeTemplate>,
                             DescribeTMemoCodeTemplate)
KESTOVA_CLASS_INFO(TMemoCodeTemplates, TZRNamedItems, "zrstring", &MakeNamedItems<TMemoCodeTemplates>)
