// Reads arbitrary bytes as a component stream: into a new root, into an
// existing root, and as text. Every failure must be a filer error. What
// converts to text must convert back, and that binary must give the same
// text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/classes/ObjectText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "testing/StreamFixture.h"

namespace {
std::string Text(TStream& Binary) {
  TStringStream text;
  ObjectBinaryToText(Binary, text);
  return text.DataString();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool registered = (RegisterStreamFixtures(), true);
  (void)registered;
  const std::vector<std::uint8_t> bytes(data, data + size);
  try {
    TMemoryStream in(bytes);
    std::unique_ptr<TComponent> root(ReadComponentFromStream(in, nullptr));
    // What was read can be written and read again.
    TMemoryStream again;
    WriteComponentToStream(again, root.get());
    again.SetPosition(0);
    std::unique_ptr<TComponent> copy(ReadComponentFromStream(again, nullptr));
  } catch (const EFilerError&) {
  }
  try {
    TStreamFixture root;
    TMemoryStream in(bytes);
    ReadComponentFromStream(in, &root);
  } catch (const EFilerError&) {
  }
  std::string text;
  try {
    TMemoryStream in(bytes);
    text = Text(in);
  } catch (const EFilerError&) {
    return 0;
  }
  TStringStream source(text);
  TMemoryStream binary;
  ObjectTextToBinary(source, binary);  // must not fail on our own text
  binary.SetPosition(0);
  if (Text(binary) != text) std::abort();
  return 0;
}
