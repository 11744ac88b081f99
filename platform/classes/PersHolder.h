#pragma once
// TPersHolder: carries an object that is not a component through a
// component stream. The holder is streamed as the root; the object's
// published properties appear as the sub-properties of P ("P.Width"). Its
// name is always "PersHolder", so that name and the class name "TPersHolder"
// are in every such stream.

#include "platform/classes/Component.h"

class TPersHolder : public TComponent {
  KESTOVA_CLASS(TPersHolder)
 public:
  explicit TPersHolder(TComponent* AOwner = nullptr);
  // Not owned.
  TPersistent* P = nullptr;
};

inline constexpr const char* kPersHolderName = "PersHolder";
