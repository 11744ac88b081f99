#pragma once
// Components for the tests of component streams: a root that writes its
// owned components as children, nested through a parent link, with a
// collection and a binary defined property, and that counts Loaded.
//
// TStreamFixture (a TTypeFixture) adds:
//   Items   TCollection of TStreamItem (Value Integer default 0, Label string)
//   Lines   TStrings (a TStringList): "Lines.Strings" while it has lines;
//           writing assigns
//   Data    a binary defined property, written while not empty
//   LoadedCount  how often Loaded ran
// As a root, GetChildren lists the owned components whose parent component
// is none or the root; any other TStreamFixture lists the root's components whose
// parent component it is. The reader sets the parent component.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/core/StringList.h"
#include "testing/TypeFixture.h"

class TStreamItem : public TCollectionItem {
  KESTOVA_CLASS(TStreamItem)
 public:
  explicit TStreamItem(TCollection* Collection) : TCollectionItem(Collection) {}
  std::int32_t Value = 0;
  std::string Label;
};

class TStreamFixture : public TTypeFixture {
  KESTOVA_CLASS(TStreamFixture)
 public:
  explicit TStreamFixture(TComponent* AOwner = nullptr);

  TCollection* Items() const { return items_.get(); }
  TStringList* Lines() const { return lines_.get(); }
  void SetLines(TStrings* Value) { lines_->Assign(Value); }
  std::vector<std::uint8_t> Data;
  int LoadedCount = 0;
  TComponent* ParentItem = nullptr;

  void Loaded() override;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;
  TComponent* GetParentComponent() const override { return ParentItem; }
  void SetParentComponent(TComponent* Value) override { ParentItem = Value; }
  void DefineProperties(TFiler* Filer) override;

 private:
  std::unique_ptr<TCollection> items_;
  std::unique_ptr<TStringList> lines_;
};

// Makes Root the fixture of the stream tests: "Main" with values of every
// value type (a set, non-ASCII and long text, int64, currency, date, float,
// an enumeration, a sub-object, binary data, a named event, a two-item
// collection, three lines (a quote, an empty line, non-ASCII), Datum a
// wide-string Variant) and the children Panel (Datum Null) and, inside it,
// Button (Datum a Currency Variant); Button's Buddy is Foreign (a component
// of another root, or nullptr) and Panel's Buddy is Button.
void FillStreamFixture(TStreamFixture& Root, TComponent* Foreign);

// Registers the stream fixtures and the type fixtures.
void RegisterStreamFixtures();

// Helpers of the stream tests.
// The names of the properties written for the root of Binary, in order.
std::vector<std::string> RootPropNames(const std::vector<std::uint8_t>& Binary);
// Binary to the text form (ObjectText.h) and back.
std::string StreamToText(const std::vector<std::uint8_t>& Binary);
std::vector<std::uint8_t> TextToStream(const std::string& Text);
