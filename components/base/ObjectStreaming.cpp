#include "components/base/ObjectStreaming.h"

#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/ObjectText.h"
#include "platform/classes/PersHolder.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"

namespace {

// Closes the global-loading bracket on every path.
class TGlobalLoading {
 public:
  TGlobalLoading() { BeginGlobalLoading(); }
  ~TGlobalLoading() { EndGlobalLoading(); }
  TGlobalLoading(const TGlobalLoading&) = delete;
  TGlobalLoading& operator=(const TGlobalLoading&) = delete;
};

}  // namespace

void WriteObjectBinary(TStream& Stream, TPersistent* Object) {
  if (auto* component = dynamic_cast<TComponent*>(Object)) {
    WriteComponentToStream(Stream, component);
    return;
  }
  TPersHolder holder;
  holder.P = Object;
  WriteComponentToStream(Stream, &holder);
}

void ReadObjectBinary(TStream& Stream, TPersistent* Object) {
  TGlobalLoading bracket;
  if (auto* component = dynamic_cast<TComponent*>(Object)) {
    ReadComponentFromStream(Stream, component);
    NotifyGlobalLoading();
    return;
  }
  TPersHolder holder;
  holder.P = Object;
  ReadComponentFromStream(Stream, &holder);
}

void WriteObjectText(TStream& Stream, TPersistent* Object) {
  TMemoryStream binary;
  WriteObjectBinary(binary, Object);
  binary.SetPosition(0);
  ObjectBinaryToText(binary, Stream);
}

void ReadObjectText(TStream& Stream, TPersistent* Object) {
  TMemoryStream binary;
  ObjectTextToBinary(Stream, binary);
  binary.SetPosition(0);
  ReadObjectBinary(binary, Object);
}

void SaveObjectToFile(TPersistent* Object, const std::string& FileName) {
  TFileStream file(FileName, TFileMode::fmCreate);
  WriteObjectText(file, Object);
}

void LoadObjectFromFile(TPersistent* Object, const std::string& FileName) {
  TFileStream file(FileName, TFileMode::fmOpenRead | TFileMode::fmShareDenyWrite);
  ReadObjectText(file, Object);
}
