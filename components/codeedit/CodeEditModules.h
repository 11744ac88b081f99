#pragma once
// The start-up table entry of the code editor's library.

#include "platform/core/Modules.h"

// Adds "MemoSource" to Table. Its shut-down forgets the last active store.
void AddCodeEditModules(ModuleTable& Table);
