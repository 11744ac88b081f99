// Newick text is read from files users pick: every input must either read
// into trees that are whole, or fail cleanly. What the reader accepts, the
// writer writes, and that text reads back.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/Exceptions.h"
#include "platform/ui/DialogService.h"
#include "tree/model/NTreeList.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Written(const TTreeList& list, int index) {
  std::string text;
  list.OutputNewickTree(index, true, true, 0, text);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A fresh service each time: it keeps every call, and answers Yes.
  ScriptedDialogService dialogs;
  ScopedDialogService scope(dialogs);
  const std::string text(reinterpret_cast<const char*>(data), size);
  TTreeList list;
  try {
    if (!list.ImportFromNewick(text, nullptr)) {
      Check(list.NoOfTrees() == 0);
      return 0;
    }
  } catch (const Exception&) {
    Check(text.empty());
    return 0;
  }

  Check(list.NoOfTrees() > 0);
  for (int t = 0; t < list.NoOfTrees(); ++t) {
    Check(list.Items(t).IsValidTopology());
    Check(list.Items(t).NoOfOTUs() == list.OTUNames.Count());
  }
  // Every tree has text, and tree 0's text reads back. Once read back, its
  // text stays the same: the first reading may still settle how numbers are
  // written ("0.0000" of a proportion 0 reads back as a raw 0), and later
  // trees alone may read otherwise (equal taxon lengths read as support).
  for (int t = 0; t < list.NoOfTrees() && t < 4; ++t) Check(!Written(list, t).empty());
  bool lengthsKept = true;
  auto readBack = [&list, &lengthsKept](const std::string& text) {
    TTreeList back;
    Check(back.ImportFromNewick(text, &list.OTUNames));
    back.isRooted = list.isRooted;
    lengthsKept = back.isBLen();
    return Written(back, 0);
  };
  std::string twice = readBack(Written(list, 0));
  // Group lengths that the text gives equal to their supports (a raw support
  // below 1 is written as 0, as a group without length is) are read as the
  // supports themselves, so the tree loses its lengths; the numbers settle
  // one reading later.
  if (list.isBLen() && !lengthsKept) twice = readBack(twice);
  // A support above its total is written as a proportion above 1, which a
  // later reading takes for a larger total; such texts read back, but not
  // to the same numbers.
  const TTreeData& first = list.Items(0);
  bool aboveTotal = false;
  for (int v = first.NoOfOTUs(); v < 2 * first.NoOfOTUs() - 2; ++v)
    aboveTotal = aboveTotal || (list.MaxStats > 1e-12 && first.GetStats(v) > list.MaxStats);
  const std::string thrice = readBack(twice);
  Check(aboveTotal || thrice == twice);
  return 0;
}
