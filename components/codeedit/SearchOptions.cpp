#include "components/codeedit/SearchOptions.h"

#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

KESTOVA_TYPE_INFO(TSearchDirection, MakeEnumType("TSearchDirection", {"sdForward", "sdBackward"}, "zrstring"))
KESTOVA_TYPE_INFO(TSearchScope, MakeEnumType("TSearchScope", {"ssGlobal", "ssSelectedText"}, "zrstring"))
KESTOVA_TYPE_INFO(TSearchOrigin, MakeEnumType("TSearchOrigin", {"soFromCursor", "soEntireScope"}, "zrstring"))
KESTOVA_TYPE_INFO(TSearchWhere, MakeEnumType("TSearchWhere", {"swDirectories"}, "zrstring"))

namespace {
void DescribeTSearchOptions(TClassInfo& Info) {
  using O = TSearchOptions;
  TClassPublisher<O> p(Info);
  p.Property<&O::ShowNotFound, &O::ShowNotFound>("ShowNotFound", TypeInfos::Boolean()).Default(false);
  p.Property<&O::ReplaceAll, &O::ReplaceAll>("ReplaceAll", TypeInfos::Boolean()).Default(false);
  p.Property<&O::InReplace, &O::InReplace>("InReplace", TypeInfos::Boolean()).Default(false);
  p.Property<&O::FirstSearch, &O::FirstSearch>("FirstSearch", TypeInfos::Boolean()).Default(false);
  p.Property<&O::TextToFind, &O::TextToFind>("TextToFind", TypeInfos::String());
  p.Property<&O::ReplaceWith, &O::ReplaceWith>("ReplaceWith", TypeInfos::String());
  p.Property<&O::PromptOnReplace, &O::PromptOnReplace>("PromptOnReplace", TypeInfos::Boolean()).Default(false);
  p.Property<&O::CaseSensitive, &O::CaseSensitive>("CaseSensitive", TypeInfos::Boolean()).Default(false);
  p.Property<&O::WholeWordsOnly, &O::WholeWordsOnly>("WholeWordsOnly", TypeInfos::Boolean()).Default(false);
  p.Property<&O::RegularExpr, &O::RegularExpr>("RegularExpr", TypeInfos::Boolean()).Default(false);
  p.Property<&O::Direction, &O::Direction>("Direction", TypeInfos::TSearchDirection()).Default(sdForward);
  p.Property<&O::Scope, &O::Scope>("Scope", TypeInfos::TSearchScope()).Default(ssGlobal);
  p.Property<&O::Origin, &O::Origin>("Origin", TypeInfos::TSearchOrigin()).Default(soEntireScope);
  p.Property<&O::Where, &O::Where>("Where", TypeInfos::TSearchWhere()).Default(swDirectories);
  p.Property<&O::FileMask, &O::FileMask>("FileMask", TypeInfos::String());
  p.Property<&O::IncludeSubDirs, &O::IncludeSubDirs>("IncludeSubDirs", TypeInfos::Boolean()).Default(false);
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TSearchOptions, TOptionExt, "zrstring", &MakeObject<TSearchOptions>,
                             DescribeTSearchOptions)

TSearchOptions& SearchOptions() { return *GetOptionExt<TSearchOptions>(); }

namespace {
bool useModalDialogs = true;
}  // namespace

bool UseModalDialogs() { return useModalDialogs; }
void SetUseModalDialogs(bool Value) { useModalDialogs = Value; }
