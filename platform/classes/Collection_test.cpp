#include "platform/classes/Collection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/core/Exceptions.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

class TBand : public TCollectionItem {
  KESTOVA_CLASS(TBand)
 public:
  using TCollectionItem::TCollectionItem;
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& Value) {
    caption_ = Value;
    Changed(false);
  }
  std::string DisplayName() const override { return caption_.empty() ? TCollectionItem::DisplayName() : caption_; }
  void Assign(const TPersistent* Source) override {
    if (const auto* band = dynamic_cast<const TBand*>(Source))
      caption_ = band->caption_;
    else
      TCollectionItem::Assign(Source);
  }

 private:
  std::string caption_;
};
KESTOVA_CLASS_INFO(TBand, TCollectionItem, "Grids", &MakeCollectionItem<TBand>)

// Records each Update: "all" for Update(nullptr), else the item's caption.
class TBands : public TCollection {
 public:
  TBands() : TCollection(TBand::StaticClass()) {}
  TBand* Band(int Index) const { return static_cast<TBand*>(Items(Index)); }
  TBand* AddBand(const std::string& Caption) {
    auto* band = static_cast<TBand*>(Add());
    band->SetCaption(Caption);
    return band;
  }
  std::vector<std::string> updates;

 protected:
  void Update(TCollectionItem* Item) override {
    updates.push_back(Item ? static_cast<TBand*>(Item)->Caption() : "all");
  }
};

std::vector<int> Ids(const TBands& bands) {
  std::vector<int> ids;
  for (int i = 0; i < bands.Count(); ++i) ids.push_back(bands.Items(i)->ID());
  return ids;
}

TEST(TCollection, IdsAreNeverReusedAndFollowTheirItems) {
  TBands bands;
  bands.AddBand("a");
  bands.AddBand("b");
  bands.AddBand("c");
  EXPECT_THAT(Ids(bands), ElementsAre(0, 1, 2));
  bands.Delete(1);
  bands.AddBand("d");
  EXPECT_THAT(Ids(bands), ElementsAre(0, 2, 3));
  bands.Band(2)->SetIndex(0);  // d moves to the front
  EXPECT_THAT(Ids(bands), ElementsAre(3, 0, 2));
  EXPECT_EQ(bands.FindItemID(2)->DisplayName(), "c");
  EXPECT_EQ(bands.FindItemID(1), nullptr);
  bands.Band(0)->Free();
  EXPECT_THAT(Ids(bands), ElementsAre(0, 2));
  EXPECT_THAT([&] { bands.Band(0)->SetIndex(2); }, ThrowsMessage<EListError>("List index out of bounds (2)"));
  EXPECT_EQ(bands.Insert(1)->ID(), 4);
  EXPECT_THAT(Ids(bands), ElementsAre(0, 4, 2));
}

TEST(TCollection, OneNoticePerOutermostBracket) {
  struct Row {
    const char* what;
    std::function<void(TBands&)> change;
    std::vector<std::string> updates;
  } rows[] = {
      {"one item changes", [](TBands& b) { b.Band(0)->SetCaption("x"); }, {"x"}},
      {"an item is added", [](TBands& b) { b.Add(); }, {"all"}},
      {"an item moves", [](TBands& b) { b.Band(0)->SetIndex(1); }, {"all"}},
      {"nested brackets",
       [](TBands& b) {
         b.BeginUpdate();
         b.BeginUpdate();
         b.AddBand("c");
         b.Band(0)->SetCaption("x");
         b.EndUpdate();
         b.Delete(0);
         b.EndUpdate();
       },
       {"all"}},
      {"clear", [](TBands& b) { b.Clear(); }, {"all"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TBands bands;
    bands.AddBand("a");
    bands.AddBand("b");
    bands.updates.clear();
    r.change(bands);
    EXPECT_EQ(bands.updates, r.updates);
    EXPECT_EQ(bands.UpdateCount(), 0);
  }
}

TEST(TCollection, AssignCopiesTheItemsInOneNotice) {
  TBands source, dest;
  source.AddBand("a");
  source.AddBand("b");
  dest.AddBand("old");
  dest.updates.clear();
  dest.Assign(&source);
  ASSERT_EQ(dest.Count(), 2);
  EXPECT_EQ(dest.Band(1)->Caption(), "b");
  EXPECT_THAT(Ids(dest), ElementsAre(1, 2));
  EXPECT_THAT(dest.updates, ElementsAre("all"));
  TBand loose(nullptr);
  EXPECT_THAT([&] { dest.Assign(&loose); }, ThrowsMessage<EConvertError>("Cannot assign a TBand to a TCollection"));
}

TEST(TCollection, ItemsNameThemselvesByIndex) {
  TBands bands;
  TBand* band = bands.AddBand("");
  EXPECT_EQ(band->DisplayName(), "TBand");
  EXPECT_EQ(band->GetOwner(), &bands);
  EXPECT_EQ(bands.AddBand("b")->GetNamePath(), "TCollection[1]");
  TBand loose(nullptr);
  EXPECT_EQ(loose.Index(), -1);
  loose.SetCollection(&bands);
  EXPECT_EQ(loose.Index(), 2);
  loose.SetCollection(nullptr);
  EXPECT_EQ(bands.Count(), 2);
}

}  // namespace
