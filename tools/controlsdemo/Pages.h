#pragma once
// The pages of the controls demo: each shows some controls of the class
// library at work, in a window of its own.

#include <string>
#include <vector>

class TWinControl;

struct TDemoPage {
  std::string Name;
  std::string Description;
  // Makes the page's window control (parentless; the caller frees it).
  TWinControl* (*Make)();
};

// Every page, in the order the list shows them.
const std::vector<TDemoPage>& DemoPages();

// The pages themselves.
TWinControl* MakeKeysPage();
TWinControl* MakeHintPage();
TWinControl* MakeDrawingPage();
TWinControl* MakeStandardPage();
TWinControl* MakeVerbsPage();
TWinControl* MakeTreePage();
TWinControl* MakeEditsPage();
TWinControl* MakeImageListsPage();
TWinControl* MakeValueEditsPage();
TWinControl* MakeSourcesPage();
TWinControl* MakeOrdersPage();
