// Reads untrusted bytes as the record of one display attribute. The first
// byte is the version of the enclosing view record (0..12). An attribute that
// reads must write back into a record that reads the same.

#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"
#include "tree/view/TreeViewRecord.h"

namespace {

void EnsureApplication() {
  if (QGuiApplication::instance()) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "node_attrib_record_fuzz";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);  // image plug-ins; lives as long as the process
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  EnsureApplication();
  const int viewVersion = data[0] % (kTreeViewRecordVersion + 1);
  TMemoryStream record(std::vector<uint8_t>(data + 1, data + size));
  TNodeAttrib attrib;
  try {
    ReadNodeAttribRecord(record, attrib, viewVersion);
  } catch (const Exception&) {
    return 0;  // refused, as a bad record should be
  }
  try {
    TMemoryStream again;
    WriteNodeAttribRecord(again, attrib);
    again.Seek(0, TSeekOrigin::soBeginning);
    TNodeAttrib back;
    ReadNodeAttribRecord(again, back, kTreeViewRecordVersion);
    if (back.Caption != attrib.Caption || back.NodeIndex != attrib.NodeIndex ||
        back.Bitmap.Width != attrib.Bitmap.Width || back.Bitmap.Height != attrib.Bitmap.Height)
      std::abort();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "read, then failed: %s\n", e.what());
    std::abort();
  }
  return 0;
}
