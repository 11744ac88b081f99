#pragma once
// Key lists: the bindings of a key-driven control. A binding maps (key,
// shift state, keyboard state) to an action and the keyboard state that
// follows, so that two-key sequences such as Ctrl+K, B can be bound.
//
// Look-up: the newest binding with the key, exactly the shift state (every
// bit), and an active state equal to the asked state or kAnyKeyState wins. So
// a binding added later overrides an earlier one for the same key, shift and
// state, and a binding for one state overrides an earlier any-state binding
// in that state only. Every look-up scans the list (there is no cached
// binding that could hide a later one).

#include <cstdint>

#include "platform/classes/Collection.h"
#include "platform/controls/KeyModel.h"
#include "platform/core/Events.h"

// A binding's action.
using TKeyAction = TMethodPointer<void()>;

// The active state of a binding that holds in every keyboard state.
inline constexpr std::uint8_t kAnyKeyState = 255;

class TKeyData : public TCollectionItem {
  KESTOVA_CLASS(TKeyData)
 public:
  explicit TKeyData(TCollection* Collection) : TCollectionItem(Collection) {}

  std::uint8_t ActiveState = 0;  // kAnyKeyState: every state
  std::uint8_t NextState = 0;
  std::uint16_t Key = 0;  // virtual key (KeyModel.h)
  TShiftState Shift;
  TKeyAction Action;  // may be empty

  // From another TKeyData: every field.
  void Assign(const TPersistent* Source) override;
};

class TKeyList : public TCollection {
  KESTOVA_CLASS(TKeyList)
 public:
  TKeyList();

  TKeyData* Items(int Index) const { return static_cast<TKeyData*>(TCollection::Items(Index)); }
  // Appends a binding and returns it.
  TKeyData* AddKeyEx(std::uint16_t Key, TShiftState Shift, const TKeyAction& Action, std::uint8_t ActiveState,
                     std::uint8_t NextState);
  // Active in state 0, back to state 0.
  TKeyData* AddKey(std::uint16_t Key, TShiftState Shift, const TKeyAction& Action);
  // Active in every state, back to state 0.
  TKeyData* AddKeyAnyState(std::uint16_t Key, TShiftState Shift, const TKeyAction& Action);
  // The binding for Key and Shift in keyboard state State, or nullptr.
  TKeyData* FindKey(std::uint16_t Key, TShiftState Shift, int State) const;
};
