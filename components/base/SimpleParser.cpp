#include "components/base/SimpleParser.h"

KESTOVA_CLASS_INFO(TSimpleParser, TComponent, "zrhook", nullptr)

namespace {
TComponent *ListeningComponent(const TNotifierMethod &Method) { return dynamic_cast<TComponent *>(Method.Object()); }
}  // namespace

TSimpleParser::TSimpleParser(TComponent *AOwner) : TComponent(AOwner), notifiers_(std::make_unique<TNotifierList>()) {}

// Freed with plain delete, BeforeDestruction has not run: tell the listeners
// here, while the parser's own parts are still whole.
TSimpleParser::~TSimpleParser() { NotifyListenersOfRemoval(); }

void TSimpleParser::BeforeDestruction() {
  NotifyListenersOfRemoval();
  TComponent::BeforeDestruction();
}

void TSimpleParser::GetColorData(std::int32_t Index, const std::u32string &Line, std::string &Colors) {
  Colors.assign(Line.size(), '\0');
}

void TSimpleParser::AddNotifier(const TNotifierMethod &Method) {
  notifiers_->AddNotifier(Method);
  if (TComponent *listener = ListeningComponent(Method)) listener->FreeNotification(this);
}

void TSimpleParser::RemoveNotifier(const TNotifierMethod &Method) { notifiers_->RemoveNotifier(Method); }

void TSimpleParser::Notification(TComponent *AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && notifiers_) notifiers_->RemoveNotifiersOf(AComponent);
}

void TSimpleParser::NotifyListenersOfRemoval() {
  if (listenersTold_) return;
  listenersTold_ = true;
  ::NotifyListenersOfRemoval(this, notifiers_.get());
}
