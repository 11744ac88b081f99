#include "components/base/KeyList.h"

KESTOVA_CLASS_INFO(TKeyData, TCollectionItem, "ZRKeys", MakeCollectionItem<TKeyData>)
KESTOVA_CLASS_INFO(TKeyList, TCollection, "ZRKeys", nullptr)

void TKeyData::Assign(const TPersistent* Source) {
  const auto* source = dynamic_cast<const TKeyData*>(Source);
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  ActiveState = source->ActiveState;
  NextState = source->NextState;
  Key = source->Key;
  Shift = source->Shift;
  Action = source->Action;
  Changed(false);
}

TKeyList::TKeyList() : TCollection(TKeyData::StaticClass()) {}

TKeyData* TKeyList::AddKeyEx(std::uint16_t Key, TShiftState Shift, const TKeyAction& Action, std::uint8_t ActiveState,
                             std::uint8_t NextState) {
  auto* binding = static_cast<TKeyData*>(Add());
  binding->ActiveState = ActiveState;
  binding->NextState = NextState;
  binding->Key = Key;
  binding->Shift = Shift;
  binding->Action = Action;
  return binding;
}

TKeyData* TKeyList::AddKey(std::uint16_t Key, TShiftState Shift, const TKeyAction& Action) {
  return AddKeyEx(Key, Shift, Action, 0, 0);
}

TKeyData* TKeyList::AddKeyAnyState(std::uint16_t Key, TShiftState Shift, const TKeyAction& Action) {
  return AddKeyEx(Key, Shift, Action, kAnyKeyState, 0);
}

TKeyData* TKeyList::FindKey(std::uint16_t Key, TShiftState Shift, int State) const {
  for (int i = Count() - 1; i >= 0; --i) {
    TKeyData* binding = Items(i);
    if (binding->Key == Key && binding->Shift == Shift &&
        (binding->ActiveState == kAnyKeyState || binding->ActiveState == State))
      return binding;
  }
  return nullptr;
}
