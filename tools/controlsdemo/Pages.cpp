#include "tools/controlsdemo/Pages.h"

const std::vector<TDemoPage>& DemoPages() {
  static const std::vector<TDemoPage> pages = {
      {"keys", "a key-driven control: two-key sequences, its keyboard state and the last action", MakeKeysPage},
  };
  return pages;
}
