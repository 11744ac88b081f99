// Messages of the control core: dispatch, subclassing, Perform, posted
// messages and timers.

#include "platform/controls/Controls.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/classes/TypInfo.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"

namespace {

inline constexpr TMessageNumber WM_PROBE = WM_USER + 1;
inline constexpr TMessageNumber WM_POSTNEXT = WM_USER + 2;
inline constexpr TMessageNumber WM_POSTED = WM_USER + 3;
inline constexpr TMessageNumber WM_RAISE = WM_USER + 4;
inline constexpr TMessageNumber WM_FREESELF = WM_USER + 5;

struct Received {
  std::string control;
  TMessageNumber msg;
  std::uintptr_t wparam;
};
using Journal = std::vector<Received>;

// A window control that answers WM_PROBE in its class and writes what it
// gets to a journal kept outside it, so that the journal outlives it.
class TBaseProbe : public TWinControl {
  KESTOVA_CLASS(TBaseProbe)
 public:
  TBaseProbe(TComponent* AOwner, Journal& journal, std::string name)
      : TWinControl(AOwner), journal_(journal), name_(std::move(name)) {}
  bool postedDuringHandler = false;

  void WMProbe(TMessage& Message) { Message.Result = 7; }
  void WMPostNext(TMessage& Message) {
    PostMessage(this, WM_POSTED, Message.WParam, 0);
    for (const Received& r : journal_) postedDuringHandler |= r.msg == WM_POSTED;
  }
  void WMRaise(TMessage&) { throw Exception("Handler failed"); }
  void WMFreeSelf(TMessage&) { Free(); }
  void WMTimer(TMessage& Message) {
    if (Message.WParam == killOnTick) KillTimer(Message.WParam);
  }
  std::uintptr_t killOnTick = 0;  // the id this control's handler kills

  void WndProc(TMessage& Message) override {
    if (Message.Msg >= WM_USER || Message.Msg == WM_TIMER) journal_.push_back({name_, Message.Msg, Message.WParam});
    TWinControl::WndProc(Message);
  }

 private:
  Journal& journal_;
  std::string name_;
};

void DescribeTBaseProbe(TClassInfo& Info) {
  AddMessageHandler<&TBaseProbe::WMProbe>(Info, WM_PROBE);
  AddMessageHandler<&TBaseProbe::WMPostNext>(Info, WM_POSTNEXT);
  AddMessageHandler<&TBaseProbe::WMRaise>(Info, WM_RAISE);
  AddMessageHandler<&TBaseProbe::WMFreeSelf>(Info, WM_FREESELF);
  AddMessageHandler<&TBaseProbe::WMTimer>(Info, WM_TIMER);
}
KESTOVA_CLASS_INFO_DESCRIBED(TBaseProbe, TWinControl, "ControlsTest", nullptr, DescribeTBaseProbe)

class TDerivedProbe : public TBaseProbe {
  KESTOVA_CLASS(TDerivedProbe)
 public:
  using TBaseProbe::TBaseProbe;
};
KESTOVA_CLASS_INFO(TDerivedProbe, TBaseProbe, "ControlsTest", nullptr)

int CountOf(const Journal& journal, const std::string& control, TMessageNumber msg) {
  int n = 0;
  for (const Received& r : journal) n += r.control == control && r.msg == msg;
  return n;
}

TEST(ControlMessages, PerformReachesBaseClassHandlersAndReturnsTheResult) {
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  EXPECT_EQ(probe.Perform(WM_PROBE, 0, 0), 7);
  EXPECT_EQ(probe.Perform(WM_USER + 99, 0, 0), 0);  // no handler: DefaultHandler
}

TEST(ControlMessages, WindowProcCanBeSubclassedAndRestored) {
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  const TWndMethod original = probe.WindowProc;
  std::vector<TMessageNumber> hooked;
  probe.WindowProc = [&](TMessage& Message) {
    hooked.push_back(Message.Msg);
    if (Message.Msg == WM_USER + 50) {
      Message.Result = 99;  // swallowed
      return;
    }
    original(Message);
  };
  EXPECT_EQ(probe.Perform(WM_PROBE, 0, 0), 7);
  EXPECT_EQ(probe.Perform(WM_USER + 50, 0, 0), 99);
  EXPECT_EQ(hooked, (std::vector<TMessageNumber>{WM_PROBE, WM_USER + 50}));
  EXPECT_EQ(CountOf(journal, "p", WM_USER + 50), 0);
  probe.WindowProc = original;
  EXPECT_EQ(probe.Perform(WM_USER + 50, 0, 0), 0);
  EXPECT_EQ(hooked.size(), 2u);
}

TEST(ControlMessages, PerformPassesHandlerExceptionsToItsCaller) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  EXPECT_THROW(probe.Perform(WM_RAISE, 0, 0), Exception);
  EXPECT_EQ(dialogs.Count("message"), 0);
}

TEST(ControlMessages, PointersTravelWholeThroughPerformAndPostMessage) {
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  auto object = std::make_unique<int>(5);
  // High bits set, as a 64-bit address may have them.
  const std::uintptr_t values[] = {reinterpret_cast<std::uintptr_t>(object.get()),
                                   static_cast<std::uintptr_t>(0xFEDCBA9876543210ull)};
  for (std::uintptr_t value : values) {
    journal.clear();
    probe.Perform(WM_PROBE, value, 0);
    PostMessage(&probe, WM_POSTED, value, 0);
    QCoreApplication::sendPostedEvents(nullptr, 0);
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[0].wparam, value);
    EXPECT_EQ(journal[1].wparam, value);
  }
}

TEST(ControlMessages, PostedMessageWaitsForTheNextTurnAndArrivesOnce) {
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  probe.Perform(WM_POSTNEXT, 42, 0);
  EXPECT_FALSE(probe.postedDuringHandler);
  EXPECT_EQ(CountOf(journal, "p", WM_POSTED), 0);
  QCoreApplication::sendPostedEvents(nullptr, 0);
  QCoreApplication::sendPostedEvents(nullptr, 0);
  EXPECT_EQ(CountOf(journal, "p", WM_POSTED), 1);
}

TEST(ControlMessages, PostedMessageNeverReachesAFreedControl) {
  Journal journal;
  auto* freed = new TDerivedProbe(nullptr, journal, "freed");
  PostMessage(freed, WM_POSTED, 1, 0);
  freed->Free();
  // A control that frees itself in the handler of one posted message.
  auto* self = new TDerivedProbe(nullptr, journal, "self");
  PostMessage(self, WM_FREESELF, 0, 0);
  PostMessage(self, WM_POSTED, 2, 0);
  QCoreApplication::sendPostedEvents(nullptr, 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::sendPostedEvents(nullptr, 0);
  EXPECT_EQ(CountOf(journal, "freed", WM_POSTED), 0);
  EXPECT_EQ(CountOf(journal, "self", WM_FREESELF), 1);
  EXPECT_EQ(CountOf(journal, "self", WM_POSTED), 0);
}

TEST(ControlMessages, APostedPayloadLivesUntilItsLastPostingIsHandledOrDropped) {
  Journal journal;
  TDerivedProbe kept(nullptr, journal, "kept");
  auto* freed = new TDerivedProbe(nullptr, journal, "freed");
  auto payload = std::make_shared<const int>(42);
  const std::weak_ptr<const int> watch = payload;
  PostPayloadMessage(&kept, WM_POSTED, payload, 0);
  PostPayloadMessage(freed, WM_POSTED, payload, 0);
  const auto address = reinterpret_cast<std::uintptr_t>(payload.get());
  payload.reset();
  freed->Free();
  EXPECT_FALSE(watch.expired());
  QCoreApplication::sendPostedEvents(nullptr, 0);
  EXPECT_TRUE(watch.expired());
  ASSERT_EQ(CountOf(journal, "kept", WM_POSTED), 1);
  EXPECT_EQ(CountOf(journal, "freed", WM_POSTED), 0);
  EXPECT_EQ(journal.back().wparam, address);
}

TEST(ControlMessages, PostedMessageExceptionIsShownOnceAndStaysOutOfQt) {
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  PostMessage(&probe, WM_RAISE, 0, 0);
  EXPECT_NO_THROW(QCoreApplication::sendPostedEvents(nullptr, 0));
  ASSERT_EQ(dialogs.Count("message"), 1);
  EXPECT_EQ(dialogs.Calls()[0].text, "Handler failed.");
}

// Ticks are waited for (up to a second, for loaded machines); their absence
// is checked over a fixed span.
TEST(ControlTimers, SameIdOnTwoControlsTicksApart) {
  Journal journal;
  TDerivedProbe a(nullptr, journal, "a"), b(nullptr, journal, "b");
  a.SetTimer(1, 5);
  b.SetTimer(1, 5);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return CountOf(journal, "a", WM_TIMER) > 0 && CountOf(journal, "b", WM_TIMER) > 0; }));
  for (const Received& r : journal) EXPECT_EQ(r.wparam, 1u);
  a.KillTimer(1);
  const int aTicks = CountOf(journal, "a", WM_TIMER);
  const int bTicks = CountOf(journal, "b", WM_TIMER);
  EXPECT_TRUE(QTest::qWaitFor([&] { return CountOf(journal, "b", WM_TIMER) > bTicks + 2; }));
  EXPECT_EQ(CountOf(journal, "a", WM_TIMER), aTicks);
}

TEST(ControlTimers, NoTickAfterKillTimerInTheHandlerOrAfterTheControlIsFreed) {
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "probe");
  probe.killOnTick = 3;
  probe.SetTimer(3, 1);
  probe.SetTimer(4, 1);  // a second timer of the same control keeps running
  auto* freed = new TDerivedProbe(nullptr, journal, "freed");
  freed->SetTimer(3, 1);
  const auto ticksOf = [&](const std::string& control, std::uintptr_t id) {
    int n = 0;
    for (const Received& r : journal) n += r.control == control && r.msg == WM_TIMER && r.wparam == id;
    return n;
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticksOf("freed", 3) > 0 && ticksOf("probe", 4) > 3; }));
  freed->Free();
  const int freedTicks = ticksOf("freed", 3);
  QTest::qWait(30);
  EXPECT_EQ(ticksOf("probe", 3), 1);
  EXPECT_EQ(ticksOf("freed", 3), freedTicks);
}

TEST(ControlTimers, TimersStopWithTheWindow) {
  Journal journal;
  TDerivedProbe probe(nullptr, journal, "p");
  probe.SetTimer(1, 1);
  probe.RecreateWnd();
  journal.clear();
  QTest::qWait(30);
  EXPECT_EQ(CountOf(journal, "p", WM_TIMER), 0);
}

// What the stream and a designer read of an event type must fit the handler
// a method pointer of that type calls: as many parameters, var exactly where
// the handler takes a reference.
template <class Sig>
struct HandlerShape;
template <class... Args>
struct HandlerShape<TMethodPointer<void(Args...)>> {
  static std::vector<bool> ByReference() { return {std::is_lvalue_reference_v<Args>...}; }
};

TEST(ControlTypeInfo, EventTypesDescribeTheirHandlersAndEnumerationsTheirValues) {
  struct Row {
    const TTypeInfo* type;
    const char* name;
    std::vector<bool> byReference;
  };
  const Row rows[] = {
      {TypeInfos::TKeyEvent(), "TKeyEvent", HandlerShape<TKeyEvent>::ByReference()},
      {TypeInfos::TKeyPressEvent(), "TKeyPressEvent", HandlerShape<TKeyPressEvent>::ByReference()},
      {TypeInfos::TMouseEvent(), "TMouseEvent", HandlerShape<TMouseEvent>::ByReference()},
      {TypeInfos::TMouseMoveEvent(), "TMouseMoveEvent", HandlerShape<TMouseMoveEvent>::ByReference()},
      {TypeInfos::TDragOverEvent(), "TDragOverEvent", HandlerShape<TDragOverEvent>::ByReference()},
      {TypeInfos::TDragDropEvent(), "TDragDropEvent", HandlerShape<TDragDropEvent>::ByReference()},
      {TypeInfos::TStartDragEvent(), "TStartDragEvent", HandlerShape<TStartDragEvent>::ByReference()},
      {TypeInfos::TEndDragEvent(), "TEndDragEvent", HandlerShape<TEndDragEvent>::ByReference()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(row.type->Kind, tkMethod);
    EXPECT_EQ(row.type->Name, row.name);
    const std::vector<TParamData>& params = row.type->Data.Params;
    ASSERT_EQ(params.size(), row.byReference.size());
    EXPECT_EQ(params[0].ParamName, "Sender");
    for (std::size_t i = 0; i < params.size(); ++i)
      EXPECT_EQ(params[i].Flags.Contains(pfVar), row.byReference[i]) << params[i].ParamName;
  }
  EXPECT_EQ(GetEnumValue(TypeInfos::TMouseButton(), "mbMiddle"), mbMiddle);
  EXPECT_EQ(GetEnumValue(TypeInfos::TDragState(), "dsDragMove"), dsDragMove);
  EXPECT_EQ(TypeInfos::TShiftState()->Kind, tkSet);
  EXPECT_EQ(GetEnumValue(TypeInfos::TShiftState()->Data.CompType, "ssDouble"), ssDouble);
}

}  // namespace
