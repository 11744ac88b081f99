#include "components/base/zrtslite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "components/base/PropFileSystem.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Reader.h"
#include "platform/classes/StdTypeInfo.h"
#include "platform/classes/Writer.h"
#include "platform/controls/Forms.h"
#include "platform/core/Streams.h"
#include "platform/classes/TypInfoPublish.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/core/List.h"
#include "platform/core/StringList.h"
#include "platform/graphics/ImageList.h"

namespace {

using ::testing::ElementsAre;

// A component publishing a string list, as a linked object does.
class TListHolder : public TComponent {
  KESTOVA_CLASS(TListHolder)
 public:
  using TComponent::TComponent;
  TStrings* Items() const { return items_.get(); }
  int32_t Size() const { return 0; }

 private:
  std::unique_ptr<TStringList> items_ = std::make_unique<TStringList>();
};

void DescribeTListHolder(TClassInfo& Info) {
  TClassPublisher<TListHolder> p(Info);
  p.Property<&TListHolder::Items>("Items", ClassTypeInfo(TStrings::StaticClass()));
  p.Property<&TListHolder::Size>("Size", TypeInfos::Integer());
}

KESTOVA_CLASS_INFO_DESCRIBED(TListHolder, TComponent, "zrtslite_test", &MakeComponent<TListHolder>,
                             DescribeTListHolder)

// One notice as a view hears it; for code 1 the records of the list.
struct Heard {
  TComponent* sender;
  int32_t code;
  std::vector<TNodeRec> recs;
};

// A subscribed window control: hears the synchronous notices and the posted
// ones (dropping those whose source is gone).
class TListener : public TWinControl {
  KESTOVA_CLASS(TListener)
 public:
  explicit TListener(std::vector<Heard>& journal) : TWinControl(nullptr), journal_(journal) {
    TreeSourceNotifiers()->AddNotifier(TNotifierMethod::Of<&TListener::SourceNotice>(*this));
  }
  ~TListener() override { TreeSourceNotifiers()->RemoveNotifier(TNotifierMethod::Of<&TListener::SourceNotice>(*this)); }

  void SourceNotice(TComponent* Sender, void* Data, int32_t Code) {
    Heard h{Sender, Code, {}};
    if (Code == tnNodesChanged) {
      auto* list = static_cast<TList*>(Data);
      for (int i = 0; i < list->Count(); ++i) h.recs.push_back(*static_cast<TNodeRec*>(list->Get(i)));
    } else {
      h.recs.push_back(*static_cast<TNodeRec*>(Data));
    }
    journal_.push_back(std::move(h));
  }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == ZRM_TREESOURCECHANGED) {
      ++postedArrived;
      TNodeRec rec;
      if (TakePostedNodeRec(Message, rec))
        SourceNotice(reinterpret_cast<TTreeSource*>(rec.Data), &rec, static_cast<int32_t>(Message.LParam));
      return;
    }
    TWinControl::WndProc(Message);
  }
  int postedArrived = 0;

 private:
  std::vector<Heard>& journal_;
};
KESTOVA_CLASS_INFO(TListener, TWinControl, "zrtslite_test", nullptr)

// Counts the designer updates the sources ask for.
struct DesignerWatch {
  std::vector<TComponent*> modified;
  void Modified(TComponent* Component) { modified.push_back(Component); }
  DesignerWatch() { SetDesignerModifiedHook(TDesignerModifiedHook::Of<&DesignerWatch::Modified>(*this)); }
  ~DesignerWatch() { SetDesignerModifiedHook(nullptr); }
};

void DeliverPosted() { QCoreApplication::sendPostedEvents(nullptr, 0); }

std::vector<TNodeRec> Children(TTreeSource& source, TNodeID key) {
  std::vector<TNodeRec> out;
  ForEachChild(source, key, [&](const TNodeRec& rec) { out.push_back(rec); });
  return out;
}

std::vector<int32_t> Codes(const std::vector<Heard>& journal) {
  std::vector<int32_t> out;
  for (const Heard& h : journal) out.push_back(h.code);
  return out;
}

// The source presents the list of a linked holder once Present() ran.
class StringSource : public ::testing::Test {
 protected:
  void SetUp() override {
    list.SetCommaText("one,two,three,four,five");
    source.SetLink(&holder);
  }
  void TearDown() override {
    source.SetLink(nullptr);
    DeliverPosted();
  }
  void Present() {
    source.SetPropName("Items");
    journal.clear();
    designer.modified.clear();
  }

  TListHolder holder{nullptr};
  TStrings& list = *holder.Items();
  std::vector<Heard> journal;
  TListener view{journal};
  DesignerWatch designer;
  TZRStringSource source{nullptr};
};

TEST_F(StringSource, EnumeratesTheStringsAsAFlatTopLevel) {
  Present();
  const std::vector<TNodeRec> top = Children(source, 0);
  ASSERT_EQ(top.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    TNodeRec expected;
    expected.ID = i + 1;
    expected.ChildKey = kChildKeyIsID;
    expected.Text = list[i];
    expected.Source = &source;
    EXPECT_EQ(top[i], expected);
  }
  // Only the root has children; not a hierarchy, so views refresh in place.
  EXPECT_TRUE(Children(source, 1).empty());
  EXPECT_TRUE(Children(source, kChildKeyIsID).empty());
  EXPECT_FALSE(source.HasChildren(0));
  EXPECT_FALSE(source.CanPerform(0, toIsHierarchy));

  // A list handed over directly replaces the linked one.
  TStringList other;
  other.Add("solo");
  journal.clear();
  source.SetStrings(&other);
  source.SetStrings(&other);
  EXPECT_THAT(Codes(journal), ElementsAre(tnRebuild));
  ASSERT_EQ(Children(source, 0).size(), 1u);
  EXPECT_EQ(Children(source, 0)[0].Text, "solo");
}

TEST_F(StringSource, AllowsExactlyItsOperations) {
  for (int32_t code = -1; code <= 40; ++code) {
    SCOPED_TRACE(code);
    const bool allowed = code == 1 || code == 3 || code == 6 || code == 8 || code == 9 || code == 10 || code == 12 ||
                         code == 15;
    EXPECT_EQ(source.CanPerform(3, code), allowed);
  }
}

TEST_F(StringSource, NeutralAnswers) {
  TButton button(nullptr);
  std::string text = "x";
  source.GetDisplayText(reinterpret_cast<TNodeID>(static_cast<TObject*>(&button)), text);
  EXPECT_EQ(text, "Button");
  source.GetDisplayText(0, text);
  EXPECT_EQ(text, "");
  source.GetObjectClassName(&button, text);
  EXPECT_EQ(text, "TButton");
  source.GetObjectClassName(nullptr, text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(source.GetSortType(), stNone);
  EXPECT_EQ(source.GetParentID(3), 0);
  EXPECT_EQ(source.GetNodeObject(3), nullptr);
  EXPECT_TRUE(source.IsLinkValid());
  source.SetLink(nullptr);
  EXPECT_FALSE(source.IsLinkValid());
  EXPECT_FALSE(source.CanMoveNode(2, 2, naInsert));
  EXPECT_TRUE(source.CanMoveNode(2, 3, naInsert));
}

TEST_F(StringSource, WithoutAListNothingChangesButTheDesignerHears) {
  journal.clear();
  source.DeleteAll();
  source.SetNodeText(1, "x");
  source.MoveNode(1, 2, naInsert);
  EXPECT_TRUE(Children(source, 0).empty());
  EXPECT_TRUE(journal.empty());
  // The move still ends with its designer update.
  EXPECT_THAT(designer.modified, ElementsAre(&holder));
}

TEST_F(StringSource, RenamesReachTheListAndEveryView) {
  Present();
  source.SetNodeText(2, "zwei");
  EXPECT_EQ(list.CommaText(), "one,zwei,three,four,five");
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].code, tnNodesChanged);
  EXPECT_EQ(journal[0].sender, &source);
  ASSERT_EQ(journal[0].recs.size(), 1u);
  EXPECT_EQ(journal[0].recs[0].ID, 2);
  EXPECT_EQ(journal[0].recs[0].Text, "zwei");
  EXPECT_EQ(designer.modified.size(), 1u);

  // ID 0 and IDs naming no string change nothing and announce nothing.
  journal.clear();
  for (TNodeID id : {TNodeID{0}, TNodeID{6}, TNodeID{-1}}) source.SetNodeText(id, "x");
  EXPECT_EQ(list.CommaText(), "one,zwei,three,four,five");
  EXPECT_TRUE(journal.empty());
}

TEST_F(StringSource, MovesAStringAndNavigatesToItsNewPlace) {
  struct Row {
    TNodeID id, target;
    uint8_t mode;
    const char* after;
    TNodeID navigated;  // 0: refused, nothing announced
  };
  const Row rows[] = {
      {2, 5, naInsert, "one,three,four,two,five", 4},
      {4, 2, naInsert, "one,four,two,three,five", 2},
      {5, 1, naInsert, "five,one,two,three,four", 1},
      {1, 5, naInsert, "two,three,four,one,five", 4},
      {2, 4, naAdd, "one,three,four,five,two", 5},
      {5, 1, naAddChild, "one,two,three,four,five", 5},
      {2, 2, naInsert, "one,two,three,four,five", 0},
      {6, 1, naInsert, "one,two,three,four,five", 0},
      {2, 9, naInsert, "one,two,three,four,five", 0},
      {0, 1, naAdd, "one,two,three,four,five", 0},
  };
  Present();
  TObject marker;
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.id << " to " << row.target << " mode " << int(row.mode));
    list.SetCommaText("one,two,three,four,five");
    if (row.id >= 1 && row.id <= 5) list.PutObject(static_cast<int>(row.id - 1), &marker);
    journal.clear();
    designer.modified.clear();
    source.MoveNode(row.id, row.target, row.mode);
    EXPECT_EQ(list.CommaText(), row.after);
    EXPECT_EQ(designer.modified.size(), 1u);
    if (!row.navigated) {
      EXPECT_TRUE(journal.empty());
      continue;
    }
    // The string keeps its object, views rebuild, then select it.
    EXPECT_EQ(list.Objects(static_cast<int>(row.navigated - 1)), &marker);
    ASSERT_THAT(Codes(journal), ElementsAre(tnRebuild, tnNavigate));
    EXPECT_EQ(journal[1].recs[0].ID, row.navigated);
    EXPECT_EQ(journal[1].recs[0].Data, reinterpret_cast<std::intptr_t>(static_cast<TTreeSource*>(&source)));
  }
}

TEST_F(StringSource, DeleteAllClearsTheListAndDeleteNodeIsRefused) {
  Present();
  source.DeleteNode(2);  // deleting is not among the string source's operations
  EXPECT_EQ(list.Count(), 5);
  EXPECT_TRUE(journal.empty());

  source.DeleteAll();
  EXPECT_EQ(list.Count(), 0);
  ASSERT_THAT(Codes(journal), ElementsAre(tnDeleted));
  EXPECT_EQ(journal[0].recs[0].ID, reinterpret_cast<TNodeID>(static_cast<TPersistent*>(&holder)));
  EXPECT_EQ(journal[0].recs[0].Data, 1);
}

TEST_F(StringSource, ResolvesItsListThroughLinkAndPropName) {
  source.SetLink(nullptr);
  auto* holder = new TListHolder(nullptr);
  holder->Items()->SetCommaText("a,b");
  source.SetLink(holder);
  EXPECT_EQ(source.Strings(), nullptr);  // no PropName yet
  EXPECT_TRUE(source.IsLinkValid());
  journal.clear();
  source.SetPropName("Items");
  EXPECT_EQ(source.Strings(), holder->Items());
  EXPECT_THAT(Codes(journal), ElementsAre(tnRebuild));
  journal.clear();
  source.SetPropName("Items");  // unchanged: nothing
  EXPECT_TRUE(journal.empty());

  // Names that are no object property leave the source without a list.
  for (const char* name : {"Size", "Missing", ""}) {
    SCOPED_TRACE(name);
    source.SetPropName("Items");
    source.SetPropName(name);
    EXPECT_EQ(source.Strings(), nullptr);
  }

  // Freeing the linked component clears the link and the list, rebuilds the
  // views and tells the family.
  source.SetPropName("Items");
  journal.clear();
  struct LinkWatch : TMessageAnswer {
    std::vector<std::uintptr_t> heard;
    void Dispatch(TMessage& Message) override {
      if (Message.Msg == ZRM_TREESOURCELINKCHANGED) heard.push_back(Message.WParam);
    }
  } watch;
  holder->Free();
  EXPECT_EQ(source.GetLink(), nullptr);
  EXPECT_EQ(source.Strings(), nullptr);
  EXPECT_FALSE(Codes(journal).empty());
  EXPECT_EQ(Codes(journal).front(), tnRebuild);
  EXPECT_THAT(watch.heard, ElementsAre(reinterpret_cast<std::uintptr_t>(static_cast<TObject*>(&source))));
}

TEST_F(StringSource, NotifiesInsertedNodesAsTopLevelNodes) {
  Present();
  source.NotifyNodeInserted(6, 0, naAddChild, "six");
  // The rename that follows names no string yet, so it announces nothing.
  ASSERT_THAT(Codes(journal), ElementsAre(tnInserted));
  EXPECT_EQ(journal[0].recs[0].ChildKey, kChildKeyIsID);
  EXPECT_EQ(journal[0].recs[0].Source, &source);
  EXPECT_EQ(journal[0].recs[0].Mode, naAddChild);
  EXPECT_EQ(journal[0].recs[0].Text, "six");
}

TEST(ComponentSource, InsertNoticeNamesTheLinkForTopLevelNodes) {
  std::vector<Heard> journal;
  TListener view(journal);
  TComponent holder(nullptr);
  TComponentSource source(nullptr);
  source.SetLink(&holder);
  journal.clear();
  TButton button(nullptr);
  const auto id = reinterpret_cast<TNodeID>(static_cast<TObject*>(&button));
  source.NotifyNodeInserted(id, 0, naAdd, "");
  ASSERT_THAT(Codes(journal), ElementsAre(tnInserted, tnNodesChanged));
  EXPECT_EQ(journal[0].recs[0].ChildKey, reinterpret_cast<TNodeID>(static_cast<TPersistent*>(&holder)));
  EXPECT_EQ(journal[0].recs[0].Text, "Button");  // the display text stands in
  EXPECT_EQ(journal[1].recs[0].Text, "Button");
  source.SetLink(nullptr);
}

TEST(ComponentSource, SetCurrentPostsACopyOfTheNavigateRecord) {
  std::vector<Heard> journal;
  TListener older(journal), newer(journal);
  TComponentSource source(nullptr);
  source.SetCurrent(0);
  EXPECT_EQ(source.GetCurrent(), 0);
  source.SetCurrent(7);
  EXPECT_EQ(source.GetCurrent(), 7);
  EXPECT_TRUE(journal.empty());  // posted, not sent
  DeliverPosted();
  ASSERT_THAT(Codes(journal), ElementsAre(tnNavigate, tnNavigate));
  for (const Heard& h : journal) {
    EXPECT_EQ(h.sender, &source);
    TNodeRec expected;
    expected.Data = reinterpret_cast<std::intptr_t>(static_cast<TTreeSource*>(&source));
    EXPECT_EQ(h.recs[0], expected);  // ID 0: the view asks GetCurrent
  }
  // SetCurrent(0) clears and posts nothing.
  journal.clear();
  source.SetCurrent(0);
  DeliverPosted();
  EXPECT_EQ(source.GetCurrent(), 0);
  EXPECT_TRUE(journal.empty());
}

TEST(ComponentSource, PostedNavigateOfAFreedSourceIsDropped) {
  std::vector<Heard> journal;
  TListener view(journal);
  auto* source = new TComponentSource(nullptr);
  source->SetCurrent(3);
  source->SetCurrent(4);
  source->Free();
  DeliverPosted();
  EXPECT_EQ(view.postedArrived, 2);
  EXPECT_TRUE(journal.empty());
}

TEST(ComponentSource, NeutralDefaults) {
  std::vector<Heard> journal;
  TListener view(journal);
  DesignerWatch designer;
  TComponentSource source(nullptr);
  source.InsertNode(0, "x", naAdd);
  source.DeleteNode(5);  // CanPerform refuses everything
  EXPECT_TRUE(journal.empty());
  for (int32_t code = 0; code <= 20; ++code) EXPECT_FALSE(source.CanPerform(1, code)) << code;
  EXPECT_TRUE(Children(source, 0).empty());
  source.MoveNode(1, 2, naAdd);
  EXPECT_TRUE(designer.modified.empty());  // no link, no designer
  TComponent holder(nullptr);
  source.SetLink(&holder);
  journal.clear();
  source.MoveNode(1, 2, naAdd);
  EXPECT_THAT(designer.modified, ElementsAre(&holder));
  EXPECT_TRUE(journal.empty());
  source.SetLink(nullptr);
}

TEST(ComponentSource, ImageListsAnnounceEveryChange) {
  std::vector<Heard> journal;
  TListener view(journal);
  TComponentSource source(nullptr);
  TImageList small, state;
  source.SetSmallImages(&small);
  source.SetSmallImages(&small);
  source.SetStateImages(&state);
  source.SetLargeImages(nullptr);
  EXPECT_THAT(Codes(journal), ElementsAre(tnImagesChanged, tnImagesChanged));
  EXPECT_EQ(source.GetSmallImages(), &small);
  EXPECT_EQ(source.GetStateImages(), &state);
  EXPECT_EQ(source.GetLargeImages(), nullptr);
}

}  // namespace

namespace {

TEST(StringSourceStreaming, LinkAndPropNameSurviveAStoredForm) {
  RegisterClasses({TListHolder::StaticClass(), TZRStringSource::StaticClass()});
  TDataModule module(nullptr);
  auto* holder = new TListHolder(&module);
  holder->SetName("Holder");
  holder->Items()->SetCommaText("a,b");
  auto* source = new TZRStringSource(&module);
  source->SetName("Source");
  source->SetLink(holder);
  source->SetPropName("Items");

  TMemoryStream stream;
  TWriter(stream).WriteRootComponent(&module);
  stream.SetPosition(0);
  TDataModule copy(nullptr);
  TReader(stream).ReadRootComponent(&copy);
  auto* readHolder = dynamic_cast<TListHolder*>(copy.FindComponent("Holder"));
  auto* readSource = dynamic_cast<TZRStringSource*>(copy.FindComponent("Source"));
  ASSERT_TRUE(readHolder && readSource);
  EXPECT_EQ(readSource->GetLink(), readHolder);
  EXPECT_EQ(readSource->PropName(), "Items");
  EXPECT_EQ(readSource->Strings(), readHolder->Items());
}

}  // namespace
