#pragma once
// An options class for the tests of options objects and for the registry
// developer tool: TSampleOptions, kept under key SampleOptions.
//
// Published, in name order:
//   Caption  string            default "sample"
//   Enabled  Boolean           default True
//   Items    TCollection of TStreamItem (a text-form stream in one value)
//   Lines    TStrings          (one string value); writing assigns
//   Part     TFixturePart      (sub-key Part); writing assigns
//   Ratio    Double            default 0.5
//   Width    Integer           default 10
// InitDefaults sets the defaults above. Changed counts the calls that were
// not suspended, in ChangedCount.

#include <cstdint>
#include <memory>
#include <string>

#include "components/base/OptionExt.h"
#include "platform/classes/Collection.h"
#include "platform/core/StringList.h"
#include "testing/StreamFixture.h"

class TSampleOptions : public TOptionExt {
  KESTOVA_CLASS(TSampleOptions)
 public:
  TSampleOptions();

  void InitDefaults() override;
  void Changed() override;

  std::string Caption;
  bool Enabled = true;
  double Ratio = 0.5;
  std::int32_t Width = 10;
  int ChangedCount = 0;

  TCollection* Items() const { return items_.get(); }
  void SetItems(TCollection* Value) { items_->Assign(Value); }
  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* Value) { lines_->Assign(Value); }
  TFixturePart* Part() const { return part_.get(); }
  void SetPart(TFixturePart* Value) { part_->Assign(Value); }

 private:
  std::unique_ptr<TCollection> items_;
  std::unique_ptr<TStringList> lines_;
  std::unique_ptr<TFixturePart> part_;
};

// Registers TSampleOptions (and the stream fixtures) in the class registry.
void RegisterOptionsFixtures();
