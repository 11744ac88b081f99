// Reads untrusted bytes as the record of a whole tree view. The first byte
// picks the version of the embedded tree records (1 or 2). A record that
// reads must draw in every style, with and without lengths, and write back
// into a record that reads again.

#include <QApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include "platform/core/Streams.h"
#include "platform/graphics/TextMeasurer.h"
#include "tree/view/NTreeBox.h"

namespace {

void EnsureApplication() {
  if (QApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tree_view_record_fuzz";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives as long as the process
}

std::unique_ptr<TTreeBox> NewBox() {
  auto box = std::make_unique<TTreeBox>();
  box->SetTextMeasurer(std::make_unique<FixedTextMeasurer>());
  return box;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  EnsureApplication();
  const int version = 1 + (data[0] & 1);
  TMemoryStream record(std::vector<uint8_t>(data + 1, data + size));
  auto box = NewBox();
  if (!box->ReadFromFile(record, version)) return 0;
  // What was read can be drawn and written back; anything else is a fault.
  try {
    for (TTreeStyle style : {TTreeStyle::tsTraditional, TTreeStyle::tsRadiation, TTreeStyle::tsCircle}) {
      box->SetTreeStyle(style);
      for (bool topologyOnly : {false, true}) {
        box->SetShowTopologyOnly(topologyOnly);
        box->RefreshTree();
      }
    }
    TMemoryStream again;
    box->WriteToFile(again);
    again.Seek(0, TSeekOrigin::soBeginning);
    if (!NewBox()->ReadFromFile(again, 2)) std::abort();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "read, then failed: %s\n", e.what());
    std::abort();
  }
  return 0;
}
