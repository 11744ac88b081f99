#include "testing/StreamFixture.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Filer.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/TypInfoPublish.h"

namespace {

void DescribeTStreamItem(TClassInfo& Info) {
  TClassPublisher<TStreamItem> p(Info);
  p.Property<&TStreamItem::Value, &TStreamItem::Value>("Value", TypeInfos::Integer()).Default(0);
  p.Property<&TStreamItem::Label, &TStreamItem::Label>("Label", TypeInfos::String());
}

void DescribeTStreamFixture(TClassInfo& Info) {
  TClassPublisher<TStreamFixture> p(Info);
  p.Property<&TStreamFixture::Items, nullptr>("Items", ClassTypeInfo(TCollection::StaticClass()));
  p.Property<&TStreamFixture::Lines, &TStreamFixture::SetLines>("Lines", ClassTypeInfo(TStrings::StaticClass()));
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TStreamItem, TCollectionItem, "StreamFixture", &MakeCollectionItem<TStreamItem>,
                             DescribeTStreamItem)
KESTOVA_CLASS_INFO_DESCRIBED(TStreamFixture, TTypeFixture, "StreamFixture", &MakeComponent<TStreamFixture>,
                             DescribeTStreamFixture)

TStreamFixture::TStreamFixture(TComponent* AOwner)
    : TTypeFixture(AOwner),
      items_(std::make_unique<TCollection>(TStreamItem::StaticClass())),
      lines_(std::make_unique<TStringList>()) {}

void TStreamFixture::Loaded() {
  TTypeFixture::Loaded();
  ++LoadedCount;
}

void TStreamFixture::GetChildren(TGetChildProc Proc, TComponent* Root) {
  if (this == Root) {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->GetParentComponent() || Components(i)->GetParentComponent() == this) Proc(Components(i));
    return;
  }
  if (!Root) return;
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (Root->Components(i)->GetParentComponent() == this) Proc(Root->Components(i));
}

void TStreamFixture::DefineProperties(TFiler* Filer) {
  TTypeFixture::DefineProperties(Filer);
  // Against an ancestor, only data that differs from its data is written.
  auto* ancestor = dynamic_cast<TStreamFixture*>(Filer->Ancestor());
  const bool hasData = ancestor ? Data != ancestor->Data : !Data.empty();
  Filer->DefineBinaryProperty(
      "Data",
      [this](TStream& Stream) {
        Data.assign(static_cast<std::size_t>(Stream.Size()), 0);
        Stream.ReadBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
      },
      [this](TStream& Stream) { Stream.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size())); }, hasData);
}

void RegisterStreamFixtures() {
  RegisterTypeFixtures();
  RegisterClasses({TStreamItem::StaticClass(), TStreamFixture::StaticClass()});
}

// Nested children, a collection, a set, binary data, named events, a local
// and a cross-root reference, non-ASCII text, string lines, every float
// kind, Variants.
void FillStreamFixture(TStreamFixture& Root, TComponent* Foreign) {
  Root.SetName("Main");
  Root.Count = 7;
  Root.Options = TFixtureOptions{foItalic, foShaded};
  Root.Caption = "Caf\xC3\xA9";
  Root.Code = std::string(300, 'c');
  Root.Big = std::int64_t{1} << 40;
  Root.Price = Currency::FromRaw(-123456);
  Root.Stamp = 45000.25;
  Root.Ratio = 2.5;
  Root.Shape = TFixtureShape::shTriangle;
  Root.Part()->Label = "part";
  Root.Data = {1, 2, 0xFF, 0};
  Root.Datum = TVarOleStr{"Gr\xC3\xBCn"};
  Root.OnClick = TNotifyEvent::Of<&TTypeFixture::HandleClick>(Root);
  auto* item = static_cast<TStreamItem*>(Root.Items()->Add());
  item->Value = 4;
  item->Label = "four";
  Root.Items()->Add();
  Root.Lines()->SetText("it's\n\n\xC3\xA0 la carte\n");
  auto* panel = new TStreamFixture(&Root);
  panel->SetName("Panel");
  panel->Datum = Null();
  auto* button = new TStreamFixture(&Root);
  button->SetName("Button");
  button->Datum = Currency::FromRaw(15000);
  button->ParentItem = panel;
  button->OnClick = TNotifyEvent::Of<&TTypeFixture::HandleClick>(Root);
  button->Buddy = Foreign;
  panel->Buddy = button;
}

std::vector<std::string> RootPropNames(const std::vector<std::uint8_t>& Binary) {
  TMemoryStream stream(Binary);
  TReader reader(stream);
  reader.ReadSignature();
  TFilerFlags flags;
  std::int32_t position = 0;
  reader.ReadPrefix(flags, position);
  reader.ReadStr();
  reader.ReadStr();
  std::vector<std::string> names;
  while (!reader.EndOfList()) {
    names.push_back(reader.ReadStr());
    reader.SkipValue();
  }
  return names;
}

std::string StreamToText(const std::vector<std::uint8_t>& Binary) {
  TMemoryStream in(Binary);
  TStringStream out;
  ObjectBinaryToText(in, out);
  return out.DataString();
}

std::vector<std::uint8_t> TextToStream(const std::string& Text) {
  TStringStream in(Text);
  TMemoryStream out;
  ObjectTextToBinary(in, out);
  return out.Bytes();
}
