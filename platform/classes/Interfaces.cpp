#include "platform/classes/Interfaces.h"

#include <cassert>
#include <cstdio>

KESTOVA_CLASS_INFO(TInterfacedObject, TObject, "System", nullptr)

std::string TGUID::ToString() const {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", D1, D2, D3, D4[0], D4[1],
                D4[2], D4[3], D4[4], D4[5], D4[6], D4[7]);
  return text;
}

int32_t TInterfacedObject::_AddRef() { return ++refCount_; }

int32_t TInterfacedObject::_Release() {
  const int32_t count = --refCount_;
  assert(count >= 0);
  if (count == 0) Free();
  return count;
}
