#include "components/base/Keyboard.h"

bool IsAltDown() { return CurrentShiftState().Contains(ssAlt); }

TShiftState GetShiftState() {
  TShiftState shift = CurrentShiftState() * TShiftState{ssShift, ssCtrl};
  if (IsAltDown()) shift.Include(ssAlt);
  return shift;
}
