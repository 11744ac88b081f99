#include "components/base/MessageBroadcast.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"


namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr TMessageNumber kTest = WM_USER + 1;
constexpr TMessageNumber kInner = WM_USER + 2;

std::vector<std::string> heard;

// Writes "<name><Result seen>" for kTest and "<name>:inner" for kInner, then
// does what the test asked of it.
class TRecorder : public TMessageAnswer {
  KESTOVA_CLASS(TRecorder)
 public:
  explicit TRecorder(std::string AName) : Name(std::move(AName)) {}

  std::string Name;
  bool Answers = false;
  bool FreesItself = false;
  TRecorder* Frees = nullptr;
  TMessageNumber Rebroadcasts = 0;
  bool MakesReceiver = false;

  void Test(TMessage& Message) {
    heard.push_back(Name + std::to_string(Message.Result));
    if (Answers) Message.Result = 1;
    if (Rebroadcasts) BroadcastCommand(Rebroadcasts);
    if (MakesReceiver) new TRecorder(Name + "'s");  // joins, freed by the test
    if (Frees) Frees->Free();
    if (FreesItself) Free();  // nothing of this object is touched afterwards
  }
  void Inner(TMessage&) { heard.push_back(Name + ":inner"); }
};

// Handles nothing itself: the base class's handlers answer for it.
class TDerivedRecorder : public TRecorder {
  KESTOVA_CLASS(TDerivedRecorder)
 public:
  using TRecorder::TRecorder;
};

void DescribeTRecorder(TClassInfo& Info) {
  AddMessageHandler<&TRecorder::Test>(Info, kTest);
  AddMessageHandler<&TRecorder::Inner>(Info, kInner);
}

}  // namespace

KESTOVA_CLASS_INFO_DESCRIBED(TRecorder, TMessageAnswer, "test", nullptr, DescribeTRecorder)
KESTOVA_CLASS_INFO(TDerivedRecorder, TRecorder, "test", nullptr)

namespace {

class Broadcast : public ::testing::Test {
 protected:
  void SetUp() override { heard.clear(); }
  void TearDown() override { FreeMessageAnswerList(); }
};

TEST_F(Broadcast, WithNoReceiversCallsNothingAndAnswersTrue) {
  EXPECT_TRUE(BroadcastMessage(nullptr, kTest, 0, 0));
  EXPECT_TRUE(BroadcastUntilAnswered(nullptr, kTest, 0, 0));
  EXPECT_TRUE(heard.empty());
}

TEST_F(Broadcast, ReachesTheNewestFirstAndARejoinedReceiverBecomesNewest) {
  TRecorder a("A");
  TDerivedRecorder b("B");
  TRecorder c("C");
  BroadcastCommand(kTest);
  EXPECT_THAT(heard, ElementsAre("C0", "B0", "A0"));

  heard.clear();
  TDerivedRecorder d("D");
  AddMessageAnswer(&c);
  BroadcastCommand(kTest);
  EXPECT_THAT(heard, ElementsAre("C0", "D0", "B0", "A0"));
  EXPECT_EQ(GetMessageAnswerList()->Count(), 4);
}

TEST_F(Broadcast, StoppingFormEndsAtTheFirstAnswerAndTheOtherPassesItOn) {
  struct Row {
    const char* name;
    bool stopping;
    bool result;
    std::vector<std::string> heard;
  };
  const Row rows[] = {
      {"stopping", true, false, {"C0", "B0"}},
      {"not stopping", false, true, {"C0", "B0", "A1"}},
  };
  TRecorder a("A");
  TDerivedRecorder b("B");
  TRecorder c("C");
  b.Answers = true;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    heard.clear();
    const bool result =
        row.stopping ? BroadcastUntilAnswered(nullptr, kTest, 0, 0) : BroadcastMessage(nullptr, kTest, 0, 0);
    EXPECT_EQ(result, row.result);
    EXPECT_THAT(heard, ElementsAreArray(row.heard));
  }
}

// Receivers are made on the heap so that they can free themselves; each row
// arranges what happens while B handles the message.
TEST_F(Broadcast, ReceiversThatLeaveOrJoinDuringTheWalkAreNeitherSkippedNorRepeated) {
  struct Row {
    const char* name;
    void (*arrange)(TRecorder* a, TRecorder* b, TRecorder* c, TRecorder* d);
    std::vector<std::string> heard;
  };
  const Row rows[] = {
      {"B frees itself",
       [](TRecorder*, TRecorder* b, TRecorder*, TRecorder*) { b->FreesItself = true; },
       {"D0", "C0", "B0", "A0"}},
      {"B frees the older A",
       [](TRecorder* a, TRecorder* b, TRecorder*, TRecorder*) { b->Frees = a; },
       {"D0", "C0", "B0"}},
      {"B frees the newer C and itself",
       [](TRecorder*, TRecorder* b, TRecorder* c, TRecorder*) {
         b->Frees = c;
         b->FreesItself = true;
       },
       {"D0", "C0", "B0", "A0"}},
      {"B frees the older A and itself",
       [](TRecorder* a, TRecorder* b, TRecorder*, TRecorder*) {
         b->Frees = a;
         b->FreesItself = true;
       },
       {"D0", "C0", "B0"}},
      {"B makes a receiver",
       [](TRecorder*, TRecorder* b, TRecorder*, TRecorder*) { b->MakesReceiver = true; },
       {"D0", "C0", "B0", "A0"}},
      {"B broadcasts again",
       [](TRecorder*, TRecorder* b, TRecorder*, TRecorder*) { b->Rebroadcasts = kInner; },
       {"D0", "C0", "B0", "D:inner", "C:inner", "B:inner", "A:inner", "A0"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    heard.clear();
    std::vector<TRecorder*> made = {new TRecorder("A"), new TRecorder("B"), new TRecorder("C"),
                                    new TDerivedRecorder("D")};
    row.arrange(made[0], made[1], made[2], made[3]);
    BroadcastCommand(kTest);
    EXPECT_THAT(heard, ElementsAreArray(row.heard));
    // Whoever is still listed is still alive; free them for the next row.
    TList* list = GetMessageAnswerList();
    while (list->Count() > 0) static_cast<TObject*>(list->Last())->Free();
  }
}

TEST_F(Broadcast, SendersCarryTheirParametersWhole) {
  struct Row {
    const char* name;
    void (*send)();
    TMessageNumber msg;
    std::uintptr_t wparam;
    std::intptr_t lparam;
  };
  static TList list;
  static TObject object;
  const Row rows[] = {
      {"designer state off", [] { BroadcastDesignerState(false); }, ZRM_DESIGNERSTATE, 0, 0},
      {"designer state on", [] { BroadcastDesignerStateOn(); }, ZRM_DESIGNERSTATE, 1, 0},
      {"designer state restored", [] { BroadcastDesignerStateRestored(); }, ZRM_DESIGNERSTATERESTORED, 0, 0},
      {"objects deleted", [] { BroadcastObjectsDeleted(&list); }, ZRM_OBJECTSDELETED, 0,
       reinterpret_cast<std::intptr_t>(&list)},
      {"object deleted", [] { BroadcastObjectDeleted(&object); }, ZRM_OBJECTSDELETED,
       reinterpret_cast<std::uintptr_t>(&object), 0},
  };
  // A catch-all handler records what arrives.
  struct TSpy : TMessageAnswer {
    std::vector<TMessage> got;
    void DefaultHandler(TMessage& Message) override { got.push_back(Message); }
  } spy;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    spy.got.clear();
    row.send();
    ASSERT_EQ(spy.got.size(), 1u);
    EXPECT_EQ(spy.got[0].Msg, row.msg);
    EXPECT_EQ(spy.got[0].WParam, row.wparam);
    EXPECT_EQ(spy.got[0].LParam, row.lparam);
  }
  spy.got.clear();
  BroadcastObjectsDeleted(nullptr);
  BroadcastObjectDeleted(nullptr);
  EXPECT_TRUE(spy.got.empty());
}

TEST_F(Broadcast, FrontFormQueryAsksTheFormAlone) {
  struct TPalette : TMessageAnswer {
    void DefaultHandler(TMessage& Message) override {
      if (Message.Msg == ZRM_QUERYSKIPFRONTFORM) Message.Result = 1;
    }
  } palette;
  TRecorder form("F");
  EXPECT_FALSE(FormAcceptsFrontQuery(&palette));
  EXPECT_TRUE(FormAcceptsFrontQuery(&form));
  EXPECT_TRUE(FormAcceptsFrontQuery(nullptr));
  EXPECT_TRUE(heard.empty());
}

// Counts the commits a control gets; one of them frees a later sibling.
class TCommitProbe : public TWinControl {
 public:
  TCommitProbe(std::vector<std::string>& log, std::string name) : TWinControl(nullptr), log_(log), name_(name) {}
  TControl* freeOnCommit = nullptr;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == ZRM_COMMITEDIT) {
      log_.push_back(name_);
      if (freeOnCommit) std::exchange(freeOnCommit, nullptr)->Free();
    }
    TWinControl::WndProc(Message);
  }

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

class TCommitGraphic : public TControl {
 public:
  TCommitGraphic(std::vector<std::string>& log) : TControl(nullptr), log_(log) {}
  void WndProc(TMessage& Message) override {
    if (Message.Msg == ZRM_COMMITEDIT) log_.push_back("graphic");
    TControl::WndProc(Message);
  }

 private:
  std::vector<std::string>& log_;
};

TEST(CommitChildEdits, ReachesEveryDirectChildOnceAndNoGrandchild) {
  std::vector<std::string> log;
  TCommitProbe form(log, "form");
  auto* first = new TCommitProbe(log, "first");
  auto* graphic = new TCommitGraphic(log);
  auto* panel = new TCommitProbe(log, "panel");
  auto* inner = new TCommitProbe(log, "inner");
  auto* last = new TCommitProbe(log, "last");
  for (TControl* c : std::initializer_list<TControl*>{first, graphic, panel, last}) c->SetParent(&form);
  inner->SetParent(panel);
  CommitChildEdits(&form);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "graphic", "panel", "last"}));
  // A commit that frees a later sibling: the freed one is passed over.
  log.clear();
  first->freeOnCommit = panel;
  CommitChildEdits(&form);
  EXPECT_EQ(log, (std::vector<std::string>{"first", "graphic", "last"}));
  CommitChildEdits(nullptr);
}

}  // namespace
