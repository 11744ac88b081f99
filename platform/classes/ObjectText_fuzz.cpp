// Reads arbitrary bytes as the text form. Every failure must be a read
// error; text that converts must give binary whose text converts back to
// the same binary.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/classes/ObjectText.h"
#include "platform/core/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TStringStream source(std::string_view(reinterpret_cast<const char*>(data), size));
  TMemoryStream binary;
  try {
    ObjectTextToBinary(source, binary);
  } catch (const EReadError&) {
    return 0;
  }
  binary.SetPosition(0);
  TStringStream text;
  ObjectBinaryToText(binary, text);  // must not fail on the converter's own bytes
  text.SetPosition(0);
  TMemoryStream again;
  ObjectTextToBinary(text, again);
  if (again.Bytes() != binary.Bytes()) std::abort();
  return 0;
}
