#pragma once
// Interfaces: reference-counted access to an object through an abstract
// class, in the style of the class library's basic interface.
//
// An interface derives virtually from IInterface and declares only pure
// virtual operations; it names its identifier as `static constexpr TGUID IID`
// where one is fixed. An implementing class derives from TInterfacedObject
// (which counts references and frees itself on the last release) and from its
// interfaces. TInterfacePtr holds one reference. Asking an interface for
// another (QueryInterface) is a dynamic_cast: Supports<I>(x).

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/core/Object.h"

struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  std::array<uint8_t, 8> D4{};

  // Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" at compile time; a
  // malformed text does not compile.
  static consteval TGUID FromString(std::string_view Text);
  // The same form, upper-case hexadecimal digits.
  std::string ToString() const;
  friend bool operator==(const TGUID&, const TGUID&) = default;
};

class IInterface {
 public:
  // Both return the new count (for diagnostics only).
  virtual int32_t _AddRef() = 0;
  virtual int32_t _Release() = 0;

 protected:
  virtual ~IInterface() = default;
};

// Holds one reference to an interface (or none).
template <class I>
class TInterfacePtr {
 public:
  TInterfacePtr() = default;
  TInterfacePtr(std::nullptr_t) {}
  explicit TInterfacePtr(I* p) : p_(p) {
    if (p_) p_->_AddRef();
  }
  TInterfacePtr(const TInterfacePtr& other) : TInterfacePtr(other.p_) {}
  TInterfacePtr(TInterfacePtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class J>
  requires std::is_convertible_v<J*, I*> TInterfacePtr(const TInterfacePtr<J>& other) : TInterfacePtr(other.get()) {}
  ~TInterfacePtr() { reset(); }
  TInterfacePtr& operator=(TInterfacePtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  // Releases the reference; the variable is nullptr from then on, also while
  // the release frees the object.
  void reset() {
    if (I* p = std::exchange(p_, nullptr)) p->_Release();
  }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  I& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }
  friend bool operator==(const TInterfacePtr& a, const TInterfacePtr& b) { return a.p_ == b.p_; }

 private:
  I* p_ = nullptr;
};

// The interface I of Instance, or nullptr when it does not implement I. The
// answer holds a reference: an object that nobody held before is freed when
// the last reference goes.
template <class I, class From>
TInterfacePtr<I> Supports(From* Instance) {
  return TInterfacePtr<I>(dynamic_cast<I*>(Instance));
}
template <class I, class From>
TInterfacePtr<I> Supports(const TInterfacePtr<From>& Instance) {
  return Supports<I>(Instance.get());
}

// The reference-counted implementation of IInterface. The count starts at 0;
// the release that brings it back to 0 frees the object (through Free).
class TInterfacedObject : public TObject, public virtual IInterface {
  KESTOVA_CLASS(TInterfacedObject)
 public:
  int32_t _AddRef() override;
  int32_t _Release() override;
  int32_t RefCount() const { return refCount_.load(); }

 private:
  std::atomic<int32_t> refCount_{0};
};

consteval TGUID TGUID::FromString(std::string_view Text) {
  auto hex = [&](size_t at, int digits) -> uint32_t {
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i) {
      const char c = Text.at(at + i);
      const int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : throw "not a hexadecimal digit";
      value = value * 16 + d;
    }
    return value;
  };
  if (Text.size() != 38 || Text[0] != '{' || Text[9] != '-' || Text[14] != '-' || Text[19] != '-' || Text[24] != '-' ||
      Text[37] != '}')
    throw "not a GUID";
  TGUID g;
  g.D1 = hex(1, 8);
  g.D2 = static_cast<uint16_t>(hex(10, 4));
  g.D3 = static_cast<uint16_t>(hex(15, 4));
  for (size_t i = 0; i < 8; ++i) g.D4[i] = static_cast<uint8_t>(hex(i < 2 ? 20 + 2 * i : 25 + 2 * (i - 2), 2));
  return g;
}
