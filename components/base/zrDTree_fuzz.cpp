// Reads untrusted bytes as a stored tree view: the first byte picks the
// node stream (even) or DrawData (odd, over a tree of four nodes). Either
// reads or raises EReadError; a node stream that reads writes back the
// same bytes it consumed.

#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "components/base/zrDTree.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

namespace {

// The plain owner-drawn view, with nothing of the views built on it.
class TPlainDrawTreeView : public TCustomZRDrawTreeView {
  KESTOVA_CLASS(TPlainDrawTreeView)
 public:
  explicit TPlainDrawTreeView(TComponent* AOwner) : TCustomZRDrawTreeView(AOwner) {}
};
KESTOVA_CLASS_INFO(TPlainDrawTreeView, TCustomZRDrawTreeView, "zrDTreeFuzz", MakeComponent<TPlainDrawTreeView>)

void EnsureApplication() {
  if (QApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "drawtree_fuzz";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives as long as the process
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  EnsureApplication();
  TMemoryStream stream(std::vector<std::uint8_t>(data + 1, data + size));
  TPlainDrawTreeView view(nullptr);
  if (data[0] & 1) {
    TTreeNode* a = view.Items()->Add(nullptr, "a");
    view.Items()->AddChild(a, "b");
    view.Items()->Add(nullptr, "c");
    view.Items()->Add(nullptr, "d");
    try {
      view.ReadDrawData(stream);
    } catch (const Exception&) {
    }
    return 0;
  }
  try {
    view.Items()->ReadData(stream);
  } catch (const EReadError&) {
    if (view.Items()->GetFirstNode()) std::abort();  // nothing half-read stays
    return 0;
  }
  TMemoryStream out;
  view.Items()->WriteData(out);
  const std::vector<std::uint8_t>& in = stream.Bytes();
  if (out.Bytes() != std::vector<std::uint8_t>(in.begin(), in.begin() + stream.Position())) std::abort();
  return 0;
}
