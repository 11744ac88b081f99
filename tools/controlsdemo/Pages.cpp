#include "tools/controlsdemo/Pages.h"

const std::vector<TDemoPage>& DemoPages() {
  static const std::vector<TDemoPage> pages = {
      {"keys", "a key-driven control: two-key sequences, its keyboard state and the last action", MakeKeysPage},
      {"hint", "a two-line hint with bold runs below the resting mouse, after the hint pause", MakeHintPage},
      {"drawing", "control backgrounds, check boxes, arrows, expand buttons, coded and shortened text, image lists",
       MakeDrawingPage},
      {"standard", "buttons, speed buttons, a panel, edits, a radio group, pages and a main menu with shortcut keys",
       MakeStandardPage},
      {"verbs", "a stored form whose menu items, speed buttons and buttons a verb dispatcher binds to verbs; a button panel",
       MakeVerbsPage},
      {"tree", "the owner-drawn tree view: colours and styles, check boxes, radio items, a new window", MakeTreePage},
      {"edits", "edits with buttons and drop-down lists, an upper-case edit source and a pick list", MakeEditsPage},
      {"imagelists", "image list boxes: sorted with quick search, button faces with drag reorder, checks and coded text",
       MakeImageListsPage},
      {"values", "value edits: colour, pen-style and brush-style edits with swatch pop-ups, a mask and a check edit",
       MakeValueEditsPage},
      {"sources", "source-bound tree views: a string list, and two views of the folders below a directory",
       MakeSourcesPage},
      {"orders", "the order editor on a form's non-visual components (creation order) and window controls (tab order)",
       MakeOrdersPage},
  };
  return pages;
}
