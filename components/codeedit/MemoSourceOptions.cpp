#include "components/codeedit/MemoSourceOptions.h"

#include <algorithm>

#include "components/codeedit/MemoSource.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

namespace {
void DescribeTMemoSourceOptions(TClassInfo& Info) {
  using O = TMemoSourceOptions;
  TClassPublisher<O> p(Info);
  p.Property<&O::KeepTrailingBlanks, &O::SetKeepTrailingBlanks>("KeepTrailingBlanks", TypeInfos::Boolean())
      .Default(false);
  p.Property<&O::Options, &O::SetOptions>("Options", TypeInfos::TStringsOptions()).Default(kDefaultStringsOptions);
  p.Property<&O::TabStops, &O::SetTabStops>("TabStops", TypeInfos::String());
  p.Property<&O::Delimeters, &O::SetDelimeters>("Delimeters", TypeInfos::String());
  p.Property<&O::BlockIndent, &O::SetBlockIndent>("BlockIndent", TypeInfos::Integer()).Default(1);
}

template <class T>
void Store(TMemoSourceOptions& Options, T& Field, T Value) {
  if (Field == Value) return;
  Field = std::move(Value);
  Options.Changed();
}
}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TMemoSourceOptions, TOptionExt, "zrstring", &MakeObject<TMemoSourceOptions>,
                             DescribeTMemoSourceOptions)

void TMemoSourceOptions::SetKeepTrailingBlanks(bool Value) { Store(*this, keepTrailingBlanks_, Value); }
void TMemoSourceOptions::SetOptions(TStringsOptions Value) { Store(*this, options_, Value); }
void TMemoSourceOptions::SetTabStops(const std::string& Value) { Store(*this, tabStops_, Value); }
void TMemoSourceOptions::SetDelimeters(const std::string& Value) { Store(*this, delimeters_, Value); }
void TMemoSourceOptions::SetBlockIndent(std::int32_t Value) { Store(*this, blockIndent_, std::max(Value, 0)); }

void TMemoSourceOptions::InitDefaults() {
  options_ = kDefaultStringsOptions;
  tabStops_ = "9,17";
  blockIndent_ = 1;
  delimeters_ = kDefaultMemoDelimiters;
}

void TMemoSourceOptions::Changed() {
  if (ChangesSuspended()) return;
  // A copy of the list: applying options may not add or free stores, but a
  // setter of a store runs the store's own updates and listeners.
  const std::vector<TCustomMemoSource*> sources = SourceList();
  for (TCustomMemoSource* source : sources)
    if (source->UseGlobalOptions()) ApplyGlobalMemoOptions(*source);
}

void ApplyGlobalMemoOptions(TCustomMemoSource& Source) {
  auto* global = GetOptionExt<TMemoSourceOptions>();
  AssignPropsByName(global, &Source, "Options,TabStops,Delimeters,BlockIndent");
  Source.SetKeepTrailingBlanks(global->KeepTrailingBlanks());
}
