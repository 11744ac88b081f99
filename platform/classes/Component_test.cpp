#include "platform/classes/Component.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "testing/ObjectFreedRecorder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ThrowsMessage;

std::vector<std::string> journal;

// Writes its destruction and every notice it gets into the journal.
class TGadget : public TComponent {
  KESTOVA_CLASS(TGadget)
 public:
  TGadget(TComponent* AOwner, const std::string& AName) : TComponent(AOwner) { SetName(AName); }
  ~TGadget() override { journal.push_back("free " + Name()); }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (AComponent != this)
      journal.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name() + ":" +
                        AComponent->ClassName());
    TComponent::Notification(AComponent, Operation);
  }
};
KESTOVA_CLASS_INFO(TGadget, TComponent, "Gadgets", nullptr)

std::vector<std::string> Take() { return std::exchange(journal, {}); }

TEST(TComponent, AnOwnerFreesItsComponentsNewestFirst) {
  ObjectFreedRecorder recorder;
  auto* form = new TGadget(nullptr, "Form");
  auto* a = new TGadget(form, "A");
  auto* b = new TGadget(form, "B");
  auto* c = new TGadget(form, "C");
  const std::vector<const void*> addresses{c, b, a, form};
  Take();
  form->Free();
  EXPECT_THAT(Take(), ElementsAre("free Form", "free C", "free B", "free A"));
  EXPECT_EQ(recorder.freed, addresses);
}

TEST(TComponent, AFreedComponentLeavesItsOwnerAndItsSiblingsHearOfIt) {
  TGadget form(nullptr, "Form");
  auto* a = new TGadget(&form, "A");
  new TGadget(&form, "B");
  Take();
  a->Free();
  EXPECT_THAT(Take(), ElementsAre("Form -A:TGadget", "B -A:TGadget", "free A"));
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.FindComponent("b")->ComponentIndex(), 0);
  EXPECT_EQ(form.FindComponent("A"), nullptr);
}

TEST(TComponent, AWatcherIsToldOnceWhileTheSubjectIsWhole) {
  enum class End { Free, OwnerFree, Delete, WatcherFirst };
  struct Row {
    const char* what;
    bool sibling;
    End end;
    std::vector<std::string> notices;  // the journal without the "free" lines
  } rows[] = {
      {"freed", false, End::Free, {"Watcher -Subject:TGadget"}},
      {"freed by its owner", false, End::OwnerFree, {"Watcher -Subject:TGadget"}},
      {"deleted without Free", false, End::Delete, {"Watcher -Subject:TComponent"}},
      {"watcher freed first", false, End::WatcherFirst, {}},
      {"sibling, freed", true, End::Free, {"Watcher -Subject:TGadget"}},
      {"sibling, freed by the owner", true, End::OwnerFree, {"Watcher -Subject:TGadget"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    auto* owner = new TComponent(nullptr);
    auto* watcher = new TGadget(r.sibling ? owner : nullptr, "Watcher");
    auto* subject = new TGadget(owner, "Subject");
    subject->FreeNotification(watcher);
    subject->FreeNotification(watcher);  // a second request adds nothing
    Take();
    switch (r.end) {
      case End::Free:
        subject->Free();
        break;
      case End::OwnerFree:
        FreeAndNil(owner);
        break;
      case End::Delete:
        delete subject;
        break;
      case End::WatcherFirst:
        watcher->Free();
        watcher = nullptr;
        Take();
        subject->Free();
        break;
    }
    std::vector<std::string> notices;
    for (const std::string& line : Take())
      if (line.rfind("free", 0) != 0) notices.push_back(line);
    EXPECT_EQ(notices, r.notices);
    if (owner) owner->Free();
    if (watcher && !r.sibling) watcher->Free();
    Take();
  }
}

TEST(TComponent, RemoveFreeNotificationUnlinksBothWays) {
  auto* subject = new TGadget(nullptr, "Subject");
  auto* watcher = new TGadget(nullptr, "Watcher");
  subject->FreeNotification(watcher);
  subject->RemoveFreeNotification(watcher);
  Take();
  subject->Free();
  watcher->Free();
  EXPECT_THAT(Take(), ElementsAre("free Subject", "free Watcher"));
}

TEST(TComponent, NamesAreIdentifiersUniqueInTheirOwner) {
  TComponent owner(nullptr);
  auto* button = new TComponent(&owner);
  button->SetName("Button1");
  auto* other = new TComponent(&owner);
  struct Row {
    const char* name;
    const char* error;  // nullptr: accepted
  } rows[] = {
      {"1Button", "'1Button' is not a valid component name"},
      {"Ok Button", "'Ok Button' is not a valid component name"},
      {"Größe", "'Größe' is not a valid component name"},
      {"button1", "A component named button1 already exists"},
      {"_Button_2", nullptr},
      {"", nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    other->SetName("Other");
    if (r.error) {
      EXPECT_THAT([&] { other->SetName(r.name); }, ThrowsMessage<EComponentError>(r.error));
      EXPECT_EQ(other->Name(), "Other");
    } else {
      other->SetName(r.name);
      EXPECT_EQ(other->Name(), r.name);
    }
  }
  button->SetName("BUTTON1");  // its own name in another case
  TComponent loose(nullptr);
  loose.SetName("Button1");  // no owner: nothing to clash with
  EXPECT_EQ(owner.FindComponent("button1"), button);
}

TEST(TComponent, InsertComponentMovesAComponentBetweenOwners) {
  TGadget first(nullptr, "First"), second(nullptr, "Second");
  auto* part = new TGadget(&first, "Part");
  Take();
  second.InsertComponent(part);
  EXPECT_THAT(Take(), ElementsAre("First -Part:TGadget", "Second +Part:TGadget"));
  EXPECT_EQ(part->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_THAT([&] { first.Components(0); }, ThrowsMessage<EListError>("List index out of bounds (0)"));
  auto* clash = new TGadget(&first, "Part");
  EXPECT_THAT([&] { second.InsertComponent(clash); },
              ThrowsMessage<EComponentError>("A component named Part already exists"));
  EXPECT_EQ(clash->Owner(), &first);
}

TEST(TComponent, DesigningAndDestroyingReachTheOwnedComponents) {
  TComponent form(nullptr);
  auto* panel = new TComponent(&form);
  form.SetDesigning(true);
  auto* button = new TComponent(panel);
  EXPECT_TRUE(button->ComponentState().Contains(csDesigning));
  form.Destroying();
  EXPECT_TRUE(button->ComponentState().Contains(csDestroying));
  EXPECT_EQ(form.GetNamePath(), "");
  button->SetName("Button1");
  EXPECT_EQ(button->GetNamePath(), "Button1");
}

}  // namespace
