#include "components/codeedit/CodeEditModules.h"

#include "components/base/ObjectParams.h"
#include "components/base/Registrations.h"
#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoSourceOptions.h"
#include "components/codeedit/SearchOptions.h"

namespace {
TObjectParamListItem* memoOptionsEntry = nullptr;
TObjectParamListItem* searchOptionsEntry = nullptr;
}  // namespace

void AddCodeEditModules(ModuleTable& Table) {
  Table.Add(
      "MemoSource",
      [] {
        memoOptionsEntry = RegisterEnvironmentOptions(TMemoSourceOptions::StaticClass());
        searchOptionsEntry = RegisterEnvironmentOptions(TSearchOptions::StaticClass());
        RegisterTemplateKinds();
      },
      [] {
        UnregisterTemplateKinds();
        if (searchOptionsEntry) searchOptionsEntry->Free();
        searchOptionsEntry = nullptr;
        if (memoOptionsEntry) memoOptionsEntry->Free();
        memoOptionsEntry = nullptr;
        SetLastActiveSource(nullptr);
      });
}
