#pragma once
// Published methods and method pointers without their signature.
//
// A method entry is one line of a class's published-method table: a handler's
// name and the code that runs it on an object of that class. Streams name
// event handlers by these names, and a method pointer made from an entry
// remembers it, so that its name can be written back.
//
// A design-time entry has a name but no code. It stands for a handler that a
// designer holds only as source text; its number (DesignCode) takes the place
// of the code address when method pointers are compared, so two handlers of
// one designed form stay apart. A method pointer made from it is assigned but
// can never be called.
//
// TMethod is what type information reads from and writes to a method-typed
// property: code, data, the entry and a tag naming the code's signature, so
// that code is never called through another signature.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/Exceptions.h"
#include "platform/core/StrUtils.h"

class TObject;

// Code of any signature; it is cast back to its own signature before a call.
using TErasedCode = void (*)();

// One distinct address per signature names it.
using TSignatureId = const void*;
namespace detail {
template <class Signature>
inline constexpr char kSignatureTag = 0;
}  // namespace detail
template <class Signature>
constexpr TSignatureId SignatureIdOf() {
  return &detail::kSignatureTag<Signature>;
}

namespace detail {
// The class and plain signature of a member-function pointer type.
template <class M>
struct MemberFunction;
template <class R, class C, class... Args>
struct MemberFunction<R (C::*)(Args...)> {
  using Class = C;
  using Signature = R(Args...);
};
template <class R, class C, class... Args>
struct MemberFunction<R (C::*)(Args...) const> : MemberFunction<R (C::*)(Args...)> {};
template <class R, class C, class... Args>
struct MemberFunction<R (C::*)(Args...) noexcept> : MemberFunction<R (C::*)(Args...)> {};
template <class R, class C, class... Args>
struct MemberFunction<R (C::*)(Args...) const noexcept> : MemberFunction<R (C::*)(Args...)> {};
}  // namespace detail

// Raised (as EInvalidOperation) by a call of a method pointer without code:
// an empty one, or one made from a design-time entry ("%s": the entry's name).
inline constexpr const char* kMethodWithoutCodeText = "Method %s has no code";

struct TMethodEntry {
  std::string Name;
  TErasedCode Code = nullptr;  // nullptr: a design-time entry
  TSignatureId Signature = nullptr;
  // The object as Code expects it (an object of the entry's class).
  void* (*DataOf)(TObject* Instance) = nullptr;
  // A design-time entry's handler number; 0 for an entry with code.
  std::intptr_t DesignCode = 0;

  bool HasCode() const { return Code != nullptr; }
};

// An entry without code for a handler that exists only in a designer.
inline std::shared_ptr<const TMethodEntry> MakeDesignMethodEntry(std::string Name, std::intptr_t Number) {
  auto entry = std::make_shared<TMethodEntry>();
  entry->Name = std::move(Name);
  entry->DesignCode = Number;
  return entry;
}

struct TMethod {
  TErasedCode Code = nullptr;
  void* Data = nullptr;
  TSignatureId Signature = nullptr;  // of Code; nullptr without code
  std::shared_ptr<void> Holder;      // keeps a callable alive
  std::shared_ptr<const TMethodEntry> Entry;

  // Has code, or a design-time entry standing for it.
  bool Assigned() const { return Code != nullptr || Entry != nullptr; }
  // The design-time entry's number when there is no code.
  std::intptr_t DesignCode() const { return !Code && Entry ? Entry->DesignCode : 0; }
  // Code (or design-time number) and data, exactly; the entry's name and the
  // holder do not count.
  friend bool operator==(const TMethod& a, const TMethod& b) {
    return a.Code == b.Code && a.DesignCode() == b.DesignCode() && a.Data == b.Data;
  }
};

[[noreturn]] inline void RaiseMethodWithoutCode(const TMethodEntry* Entry) {
  throw EInvalidOperation(Format(kMethodWithoutCodeText, {Entry ? Entry->Name : std::string("(none)")}));
}

// The method Entry names, run on Instance; the entry without code gives an
// assigned method that cannot be called.
inline TMethod MethodOfEntry(std::shared_ptr<const TMethodEntry> Entry, TObject* Instance) {
  TMethod m;
  if (!Entry) return m;
  if (Entry->Code) {
    m.Code = Entry->Code;
    m.Signature = Entry->Signature;
    m.Data = Entry->DataOf ? Entry->DataOf(Instance) : static_cast<void*>(Instance);
  } else {
    m.Data = Instance;
  }
  m.Entry = std::move(Entry);
  return m;
}
