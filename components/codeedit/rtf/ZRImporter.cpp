#include "components/codeedit/rtf/ZRImporter.h"

#include <algorithm>

#include "components/codeedit/rtf/RtfImport_p.h"
#include "platform/core/Codecs.h"
#include "platform/core/Streams.h"
#include "platform/graphics/GraphicsObjects.h"

KESTOVA_CLASS_INFO(TZRImporter, TObject, "ZRImport", nullptr)
KESTOVA_CLASS_INFO(TZRRtfImporter, TZRImporter, "ZRImport", nullptr)

TZRImporter::TZRImporter() : font_(std::make_unique<TFont>()) {}

TZRImporter::~TZRImporter() = default;

void TZRImporter::DoText(const std::string& Text, TFont* Font, std::int32_t BackColor) {
  if (OnImportText) OnImportText(this, Text, BackColor, Font);
}

bool TZRRtfImporter::CanImport(TStream& Stream) {
  if (Stream.Size() <= 4) return false;
  Stream.SetPosition(0);
  char head[5] = {};
  const int64_t got = Stream.Read(head, sizeof head);
  Stream.SetPosition(0);
  return got == 5 && std::string_view(head, 5) == "{\\rtf";
}

void TZRRtfImporter::Import(const std::string& Text) {
  std::u32string text = Utf8ToUtf32(Windows1252ToUtf8(Text));
  // The scanner ends at U+0000; any other control character it steps over.
  std::replace(text.begin(), text.end(), U'\0', U'\x01');
  TRtfImporter importer(*this, text.c_str());
  importer.Run();
}
