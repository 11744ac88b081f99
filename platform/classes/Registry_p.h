#pragma once
// Helpers of TRegistry's two source files.

#include <bit>
#include <cstring>
#include <string>

#include "platform/classes/Registry.h"
#include "platform/classes/RegistryTree.h"
#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

static_assert(std::endian::native == std::endian::little, "registry data is little-endian");

// ERegistryException with text (naming the value or key), and the reason on
// a second line when there is one.
[[noreturn]] inline void RaiseRegistryError(const char* text, const std::string& name, const std::string& reason = {}) {
  throw ERegistryException(Format(text, {name}) + (reason.empty() ? "" : "\n" + reason));
}

inline TRegDataType DataTypeOf(uint32_t type) {
  switch (type) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

template <typename T>
std::string BytesOf(T value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

template <typename T>
T FromBytes(const std::string& bytes) {
  T value{};
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}
