#include "testing/TypeFixture.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

KESTOVA_TYPE_INFO(TFixtureShape,
                  MakeEnumType("TFixtureShape", {"shNone", "shCircle", "shSquare", "shTriangle"}, "TypeFixture"))
KESTOVA_TYPE_INFO(TFixtureOption,
                  MakeEnumType("TFixtureOption", {"foBold", "foItalic", "foFramed", "foShaded", "foHidden"},
                               "TypeFixture"))
KESTOVA_TYPE_INFO(TFixtureOptions, MakeSetType("TFixtureOptions", TypeInfos::TFixtureOption()))
KESTOVA_TYPE_INFO(TFixtureValueEvent, MakeMethodType("TFixtureValueEvent", mkProcedure,
                                                     {{{}, "Sender", "TObject"},
                                                      {{pfVar}, "Value", "Integer"},
                                                      {{pfConst}, "Text", "string"}}))

namespace {

void DescribeTFixturePart(TClassInfo& Info) {
  TClassPublisher<TFixturePart> p(Info);
  p.Property<&TFixturePart::Width, &TFixturePart::Width>("Width", TypeInfos::Integer()).Default(10);
  p.Property<&TFixturePart::Label, &TFixturePart::Label>("Label", TypeInfos::String());
}

void DescribeTTypeFixture(TClassInfo& Info) {
  using F = TTypeFixture;
  namespace T = TypeInfos;
  TClassPublisher<F> p(Info);
  p.Property<&F::Count, &F::Count>("Count", T::Integer()).Default(0);
  p.Property<&F::Letter, &F::Letter>("Letter", T::Char()).Default('A');
  p.Property<&F::Shape, &F::Shape>("Shape", T::TFixtureShape()).Default(TFixtureShape::shCircle);
  p.Property<&F::Ratio, &F::Ratio>("Ratio", T::Double());
  p.Property<&F::Code, &F::Code>("Code", T::ShortString());
  p.Property<&F::Options, &F::Options>("Options", T::TFixtureOptions()).Default(TFixtureOptions{foBold, foFramed});
  p.Property<&F::Part, &F::SetPart>("Part", ClassTypeInfo(TFixturePart::StaticClass()));
  p.Property<&F::OnClick, &F::OnClick>("OnClick", T::TNotifyEvent());
  p.Property<&F::Initial, &F::Initial>("Initial", T::WideChar()).Default(u'K');
  p.Property<&F::Caption, &F::Caption>("Caption", T::TCaption());
  p.Property<&F::Title, &F::Title>("Title", T::WideString()).Stored(false);
  p.Property<&F::Big, &F::Big>("Big", T::Int64());
  p.Property<&F::ParentColor, &F::ParentColor>("ParentColor", T::Boolean()).Default(true);
  p.Property<&F::GetColor, &F::SetColor>("Color", T::TColor()).Default(kFixtureClWindow).Stored<&F::IsColorStored>();
  p.Property<&F::Cursor, &F::Cursor>("Cursor", T::TCursor()).Default(0);
  p.Property<&F::TabOrder, &F::TabOrder>("TabOrder", T::TTabOrder()).Default(-1);
  p.Property<&F::ModalResult, &F::ModalResult>("ModalResult", T::TModalResult()).Default(0);
  p.Property<&F::ShortCut, &F::ShortCut>("ShortCut", T::TShortCut()).Default(0);
  p.Property<&F::Stamp, &F::Stamp>("Stamp", T::TDateTime());
  p.Property<&F::Day, &F::Day>("Day", T::TDate());
  p.Property<&F::Hour, &F::Hour>("Hour", T::TTime());
  p.Property<&F::FontName, &F::FontName>("FontName", T::TFontName());
  p.Property<&F::Charset, &F::Charset>("Charset", T::TFontCharset()).Default(1);
  p.Property<&F::Flag16, &F::Flag16>("Flag16", T::WordBool()).Default(false);
  p.Property<&F::Flag32, &F::Flag32>("Flag32", T::LongBool()).Default(true);
  p.Property<&F::Price, &F::Price>("Price", T::Currency());
  p.Property<&F::Buddy, &F::Buddy>("Buddy", ClassTypeInfo(TComponent::StaticClass()));
  p.Property<&F::GetSide, &F::SetSide>("Left", T::Integer()).Index(0).Default(0);
  p.Property<&F::GetSide, &F::SetSide>("Top", T::Integer()).Index(1).Default(0);
  p.Property<&F::OnValue, &F::OnValue>("OnValue", T::TFixtureValueEvent());
  p.Property<&F::Datum, &F::Datum>("Datum", T::Variant());
  p.Method<&F::HandleClick>("HandleClick");
  p.Method<&F::HandleValue>("HandleValue");
}

void DescribeTTypeFixtureChild(TClassInfo& Info) {
  using F = TTypeFixtureChild;
  TClassPublisher<F> p(Info);
  p.Property<&F::Count, &F::Count>("Count", TypeInfos::Integer()).Default(5).Stored<&F::IsCountStored>();
  p.Property<&F::Extra, &F::Extra>("Extra", TypeInfos::Integer()).Default(0);
  p.Property<&F::Extras>("Extras", TypeInfos::Integer()).Stored(false);
  p.Method<&F::HandleExtra>("HandleExtra");
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TFixturePart, TPersistent, "TypeFixture", &MakeObject<TFixturePart>, DescribeTFixturePart)
KESTOVA_CLASS_INFO_DESCRIBED(TTypeFixture, TComponent, "TypeFixture", &MakeComponent<TTypeFixture>,
                             DescribeTTypeFixture)
KESTOVA_CLASS_INFO_DESCRIBED(TTypeFixtureChild, TTypeFixture, "TypeFixture", &MakeComponent<TTypeFixtureChild>,
                             DescribeTTypeFixtureChild)

void TFixturePart::Assign(const TPersistent* Source) {
  if (const auto* part = dynamic_cast<const TFixturePart*>(Source)) {
    Width = part->Width;
    Label = part->Label;
    return;
  }
  TPersistent::Assign(Source);
}

TTypeFixture::TTypeFixture(TComponent* AOwner) : TComponent(AOwner), part_(std::make_unique<TFixturePart>()) {}

void TTypeFixture::SetColor(std::int32_t Value) {
  color_ = Value;
  ParentColor = false;
}

void TTypeFixture::HandleClick(TObject* Sender) {
  ++Clicks;
  LastSender = Sender;
}

void TTypeFixture::HandleValue(TObject* Sender, std::int32_t& Value, const std::string& Text) {
  LastSender = Sender;
  Value *= 2;
  LastText = Text;
}

TTypeFixtureChild::TTypeFixtureChild(TComponent* AOwner) : TTypeFixture(AOwner) { Count = 5; }

void RegisterTypeFixtures() {
  RegisterClasses({TFixturePart::StaticClass(), TTypeFixture::StaticClass(), TTypeFixtureChild::StaticClass()});
}
