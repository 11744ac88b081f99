#include "components/codeedit/CodeEditModules.h"

#include "components/base/ObjectParams.h"
#include "components/base/Registrations.h"
#include "components/codeedit/MemoSource.h"
#include "components/codeedit/MemoSourceOptions.h"

namespace {
TObjectParamListItem* memoOptionsEntry = nullptr;
}  // namespace

void AddCodeEditModules(ModuleTable& Table) {
  Table.Add(
      "MemoSource",
      [] {
        memoOptionsEntry = RegisterEnvironmentOptions(TMemoSourceOptions::StaticClass());
        RegisterTemplateKinds();
      },
      [] {
        UnregisterTemplateKinds();
        if (memoOptionsEntry) memoOptionsEntry->Free();
        memoOptionsEntry = nullptr;
        SetLastActiveSource(nullptr);
      });
}
