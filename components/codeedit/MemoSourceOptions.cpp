#include "components/codeedit/MemoSourceOptions.h"

#include "components/codeedit/MemoSource.h"

void ApplyGlobalMemoOptions(TCustomMemoSource& Source) {}
