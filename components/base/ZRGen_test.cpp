#include "components/base/ZRGen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "components/base/PropFileSystem.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/core/StringList.h"

namespace {

using ::testing::ElementsAre;

constexpr TMessageNumber kPing = WM_USER + 40;

struct Received {
  std::string control;
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

// A subscriber window that writes what is posted to it.
class TPostProbe : public TWinControl {
  KESTOVA_CLASS(TPostProbe)
 public:
  TPostProbe(std::vector<Received>& journal, std::string name)
      : TWinControl(nullptr), journal_(journal), name_(std::move(name)) {}
  void Listen(TComponent*, void*, int32_t) {}
  TNotifierMethod Method() { return TNotifierMethod::Of<&TPostProbe::Listen>(*this); }
  void WndProc(TMessage& Message) override {
    if (Message.Msg == kPing) {
      journal_.push_back({name_, Message.WParam, Message.LParam});
      if (payloadSeen) *payloadSeen = *reinterpret_cast<const int*>(Message.WParam);
      return;
    }
    TWinControl::WndProc(Message);
  }
  int* payloadSeen = nullptr;

 private:
  std::vector<Received>& journal_;
  std::string name_;
};
KESTOVA_CLASS_INFO(TPostProbe, TWinControl, "ZRGen_test", nullptr)

// A listener that is no control.
struct TPlainListener : TComponent {
  using TComponent::TComponent;
  void Listen(TComponent*, void*, int32_t) {}
};

void Deliver() { QCoreApplication::sendPostedEvents(nullptr, 0); }

TEST(NotifierListEx, PostsToEveryControlNewestFirst) {
  std::vector<Received> journal;
  TPostProbe a(journal, "a"), b(journal, "b");
  TPlainListener plain(nullptr);
  TNotifierListEx list;
  list.AddNotifier(a.Method());
  list.AddNotifier(TNotifierMethod::Of<&TPlainListener::Listen>(plain));
  list.AddNotifier(b.Method());
  list.PostToAll(kPing, 11, 4);
  EXPECT_TRUE(journal.empty());  // posted, not sent
  Deliver();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0].control, "b");
  EXPECT_EQ(journal[1].control, "a");
  EXPECT_EQ(journal[0].wparam, 11u);
  EXPECT_EQ(journal[1].lparam, 4);
}

TEST(NotifierListEx, APayloadLivesUntilItsLastPostingIsHandledOrDropped) {
  std::vector<Received> journal;
  auto* kept = new TPostProbe(journal, "kept");
  auto* freed = new TPostProbe(journal, "freed");
  int seen = 0;
  kept->payloadSeen = &seen;
  TNotifierListEx list;
  list.AddNotifier(kept->Method());
  list.AddNotifier(freed->Method());

  auto payload = std::make_shared<int>(42);
  const std::weak_ptr<int> watch = payload;
  list.PostToAll(kPing, std::shared_ptr<const void>(std::move(payload)), 4);
  EXPECT_FALSE(watch.expired());  // the poster let go; the postings hold it
  list.RemoveNotifiersOf(freed);
  freed->Free();  // its posting is dropped
  EXPECT_FALSE(watch.expired());
  Deliver();
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_EQ(journal[0].control, "kept");
  EXPECT_EQ(seen, 42);
  EXPECT_TRUE(watch.expired());

  // A payload whose only posting goes to a control freed before delivery.
  auto other = std::make_shared<int>(1);
  const std::weak_ptr<int> otherWatch = other;
  PostPayloadMessage(kept, kPing, std::move(other), 0);
  kept->Free();
  EXPECT_TRUE(otherWatch.expired());
  Deliver();
  EXPECT_EQ(journal.size(), 1u);
}

TEST(TreeSourceNotifiers, IsOneListMadeOnFirstUse) {
  TNotifierListEx* list = TreeSourceNotifiers();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(TreeSourceNotifiers(), list);
}

TEST(FindPopupMenu, TakesTheNearestMenuUpTheParents) {
  TPanel outer(nullptr), inner(nullptr);
  TPanel leaf(nullptr);
  inner.SetParent(&outer);
  leaf.SetParent(&inner);
  TPopupMenu outerMenu(nullptr), leafMenu(nullptr);
  EXPECT_EQ(FindPopupMenu(&leaf), nullptr);
  EXPECT_EQ(FindPopupMenu(nullptr), nullptr);
  outer.SetPopupMenu(&outerMenu);
  EXPECT_EQ(FindPopupMenu(&leaf), &outerMenu);
  EXPECT_EQ(FindPopupMenu(&inner), &outerMenu);
  leaf.SetPopupMenu(&leafMenu);
  EXPECT_EQ(FindPopupMenu(&leaf), &leafMenu);
  EXPECT_EQ(FindPopupMenu(&inner), &outerMenu);
  leaf.SetParent(nullptr);
  inner.SetParent(nullptr);
}

// "caption[children]" for each item, comma-separated; unnamed items only
// (a named one shows as "caption=name").
std::string Shape(const TMenuItem* item) {
  std::string out;
  for (int i = 0; i < item->Count(); ++i) {
    const TMenuItem* child = item->Items(i);
    if (i) out += ",";
    out += child->Caption();
    if (!child->Name().empty()) out += "=" + child->Name();
    if (child->Count()) out += "[" + Shape(child) + "]";
  }
  return out;
}

struct Clicks {
  std::vector<std::string> heard;
  void Open(TObject*) { heard.push_back("open"); }
  void Sub(TObject*) { heard.push_back("sub"); }
};

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption, const std::string& name = {}) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  if (!name.empty()) item->SetName(name);
  parent->Add(item);
  return item;
}

TEST(CopyMenu, CopiesUnnamedItemsWithTheirClickHandlers) {
  RegisterClass(TMenuItem::StaticClass());  // as the start-up does
  TComponent form(nullptr);
  auto* source = new TPopupMenu(&form);
  source->SetName("Source");
  auto* dest = new TPopupMenu(&form);
  dest->SetName("Dest");
  Clicks clicks;
  AddItem(&form, source->Items(), "Open", "OpenItem")->OnClick = TNotifyEvent::Of<&Clicks::Open>(clicks);
  TMenuItem* more = AddItem(&form, source->Items(), "More", "MoreItem");
  AddItem(&form, more, "Sub", "SubItem")->OnClick = TNotifyEvent::Of<&Clicks::Sub>(clicks);
  AddItem(&form, source->Items(), "-");
  AddItem(&form, dest->Items(), "Old", "OldItem");

  CopyMenu(source, dest);
  EXPECT_EQ(Shape(dest->Items()), "Open,More[Sub],-");
  EXPECT_EQ(Shape(source->Items()), "Open=OpenItem,More=MoreItem[Sub=SubItem],-");
  EXPECT_EQ(dest->Name(), "Dest");
  EXPECT_EQ(form.FindComponent("OldItem"), nullptr);
  dest->Items()->Items(0)->Click();
  dest->Items()->Items(1)->Items(0)->Click();
  EXPECT_THAT(clicks.heard, ElementsAre("open", "sub"));

  // Copying again replaces, and a missing source leaves Dest empty.
  CopyMenu(source, dest);
  EXPECT_EQ(Shape(dest->Items()), "Open,More[Sub],-");
  CopyMenu(nullptr, dest);
  EXPECT_EQ(dest->Items()->Count(), 0);
}

TEST(AddComponentEditorVerbs, CopiesTidiesAndClearsOnPopup) {
  RegisterClass(TMenuItem::StaticClass());
  TComponent form(nullptr);
  auto* source = new TPopupMenu(&form);
  auto* dest = new TPopupMenu(&form);
  for (const char* caption : {"-", "Cut", "-", "-", "Paste", "-"}) AddItem(&form, source->Items(), caption);
  Clicks clicks;
  dest->OnPopup = TNotifyEvent::Of<&Clicks::Open>(clicks);
  AddComponentEditorVerbs(source, dest, nullptr);
  EXPECT_EQ(Shape(dest->Items()), "Cut,-,Paste");
  EXPECT_FALSE(dest->OnPopup);
  EXPECT_EQ(GetComponentEditorProc(&form, nullptr), nullptr);
}

TEST(DesignerModified, ReachesTheDesignerOfTheNearestComponent) {
  struct Watch {
    std::vector<TComponent*> heard;
    void Modified(TComponent* c) { heard.push_back(c); }
  } watch;
  DesignerModified(nullptr);  // nothing listens, nothing happens
  SetDesignerModifiedHook(TDesignerModifiedHook::Of<&Watch::Modified>(watch));
  TComponent owner(nullptr);
  TStringList lines;  // no component above it
  DesignerModified(&owner);
  DesignerModified(nullptr);
  DesignerModified(&lines);
  SetDesignerModifiedHook(nullptr);
  EXPECT_THAT(watch.heard, ElementsAre(&owner));
}

}  // namespace
