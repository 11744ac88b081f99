#include "testing/OptionsFixture.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

namespace {

void DescribeTSampleOptions(TClassInfo& Info) {
  using O = TSampleOptions;
  namespace T = TypeInfos;
  TClassPublisher<O> p(Info);
  p.Property<&O::Caption, &O::Caption>("Caption", T::String());
  p.Property<&O::Enabled, &O::Enabled>("Enabled", T::Boolean()).Default(true);
  p.Property<&O::Items, &O::SetItems>("Items", ClassTypeInfo(TCollection::StaticClass()));
  p.Property<&O::Lines, &O::SetLines>("Lines", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&O::Part, &O::SetPart>("Part", ClassTypeInfo(TFixturePart::StaticClass()));
  p.Property<&O::Ratio, &O::Ratio>("Ratio", T::Double());
  p.Property<&O::Width, &O::Width>("Width", T::Integer()).Default(10);
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TSampleOptions, TOptionExt, "OptionsFixture", &MakeObject<TSampleOptions>,
                             DescribeTSampleOptions)

TSampleOptions::TSampleOptions()
    : items_(std::make_unique<TCollection>(TStreamItem::StaticClass())),
      lines_(std::make_unique<TStringList>()),
      part_(std::make_unique<TFixturePart>()) {}

void TSampleOptions::InitDefaults() {
  Caption = "sample";
  Enabled = true;
  Ratio = 0.5;
  Width = 10;
}

void TSampleOptions::Changed() {
  if (ChangesSuspended()) return;
  ++ChangedCount;
}

void RegisterOptionsFixtures() {
  RegisterStreamFixtures();
  RegisterClasses({TSampleOptions::StaticClass()});
}
