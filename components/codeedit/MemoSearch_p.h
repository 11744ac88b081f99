#pragma once
// Shared by the store's find, replace and bracket files.

#include <string>

#include "components/codeedit/MemoEdit_p.h"
#include "components/codeedit/SearchOptions.h"
#include "platform/ui/Screen.h"

// Pattern formatted with the search text, every "&" doubled (a message box
// would otherwise take it for a mnemonic).
std::string SearchReportText(const char* Pattern);
// A message box with the information icon and an OK button.
void ShowSearchMessage(const std::string& Message);

// Shows the hourglass while alive, unless it is shown already; the cursor
// before it comes back.
class THourGlass {
 public:
  THourGlass();
  ~THourGlass();
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;

 private:
  TCursor saved_;
  bool shown_;
};
