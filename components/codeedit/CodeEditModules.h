#pragma once
// The start-up table entry of the code editor's library.

#include "platform/core/Modules.h"

// Adds "MemoSource" to Table. Its start-up registers TMemoSourceOptions and
// then TSearchOptions as environment options classes, then the code-template
// kinds; its shut-down takes those registrations back and forgets the last
// active store. (The global options themselves are
// saved and freed with every options object, by the base library.)
void AddCodeEditModules(ModuleTable& Table);
