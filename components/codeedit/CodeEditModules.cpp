#include "components/codeedit/CodeEditModules.h"

#include "components/codeedit/MemoSource.h"

void AddCodeEditModules(ModuleTable& Table) {
  Table.Add("MemoSource", {}, [] { SetLastActiveSource(nullptr); });
}
