#pragma once
// Declaring a class's published properties and methods, in its .cpp:
//
//   static void DescribeTPanel(TClassInfo& Info) {
//     TClassPublisher<TPanel> p(Info);
//     p.Property<&TPanel::Color, &TPanel::SetColor>("Color", TypeInfos::TColor())
//         .Default(clBtnFace)
//         .Stored<&TPanel::IsColorStored>();
//     p.Property<&TPanel::FCaption, &TPanel::FCaption>("Caption", TypeInfos::TCaption());
//     p.Property<&TPanel::OnClick, &TPanel::OnClick>("OnClick", TypeInfos::TNotifyEvent());
//     p.Method<&TPanel::HandleClick>("HandleClick");
//   }
//   KESTOVA_CLASS_INFO_DESCRIBED(TPanel, TCustomControl, "ExtCtrls", ..., DescribeTPanel)
//
// Reader and writer are each a data member or a member function:
//   reader  T C::*Field, T (C::*)() const, or with .Index(n): T (C::*)(int32) const
//   writer  T C::*Field, void (C::*)(T), or with .Index(n): void (C::*)(int32, T);
//           nullptr for a read-only property.
// T decides the accessor group and must fit the kind of the property's type:
//   integers, bool, char types, enumerations  integer, char, enumeration,
//                                             wide char and int64 kinds
//   a set (TSet, EnumSet or a class with Bits()/FromBits())  set kind
//   a pointer to a TObject class               class kind
//   floating-point types, Currency             float kind
//   std::string                                string kinds
//   TMethodPointer<...>                        method kind
//   TVariant                                   variant kind
// Declaring again a property of an ancestor (same name) keeps its place in
// the listing and replaces its record for this class and its descendants.

#include <cassert>
#include <concepts>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/classes/MethodTable.h"
#include "platform/classes/TypInfo.h"
#include "platform/core/Currency.h"
#include "platform/core/Events.h"
#include "platform/core/Exceptions.h"

namespace detail {

template <class T>
concept BitSet = requires(const T& s) {
  { s.Bits() } -> std::integral;
  T::FromBits(s.Bits());
};
template <class T>
struct IsMethodPointer : std::false_type {};
template <class Sig>
struct IsMethodPointer<TMethodPointer<Sig>> : std::true_type {};

template <class T>
constexpr TTypeKinds KindsOfValue() {
  if constexpr (BitSet<T>)
    return TTypeKinds{tkSet};
  else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
    return TTypeKinds{tkInteger, tkChar, tkEnumeration, tkWChar, tkInt64};
  else if constexpr (std::is_pointer_v<T>)
    return TTypeKinds{tkClass};
  else if constexpr (std::is_floating_point_v<T> || std::is_same_v<T, Currency>)
    return TTypeKinds{tkFloat};
  else if constexpr (std::is_same_v<T, std::string>)
    return tkStrings;
  else if constexpr (IsMethodPointer<T>::value)
    return tkMethods;
  else if constexpr (std::is_same_v<T, TVariant>)
    return TTypeKinds{tkVariant};
  else
    static_assert(sizeof(T) == 0, "no published-property access for this type");
}

// Ordinal values as int64: sets as bit masks, objects as their address.
template <class T>
std::int64_t ToOrd(const T& Value) {
  if constexpr (BitSet<T>)
    return static_cast<std::int64_t>(Value.Bits());
  else if constexpr (std::is_pointer_v<T>)
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(static_cast<const TObject*>(Value)));
  else
    return static_cast<std::int64_t>(Value);
}
template <class T>
T FromOrd(std::int64_t Value) {
  if constexpr (BitSet<T>)
    return T::FromBits(static_cast<decltype(std::declval<T>().Bits())>(Value));
  else if constexpr (std::is_same_v<T, bool>)
    return Value != 0;
  else if constexpr (std::is_pointer_v<T>) {
    auto* object = reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Value));
    if (!object) return nullptr;
    auto* typed = dynamic_cast<T>(object);
    if (!typed) throw EInvalidCast();
    return typed;
  } else
    return static_cast<T>(Value);
}

template <class C, auto Get>
decltype(auto) ReadValue(const TObject& Instance, const TPropInfo& Prop) {
  const C& self = static_cast<const C&>(Instance);
  if constexpr (std::is_member_object_pointer_v<decltype(Get)>)
    return (self.*Get);
  else if constexpr (std::is_invocable_v<decltype(Get), const C&, std::int32_t>)
    return (self.*Get)(Prop.Index);
  else
    return (self.*Get)();
}
template <class C, auto Set, class T>
void WriteValue(TObject& Instance, const TPropInfo& Prop, T&& Value) {
  C& self = static_cast<C&>(Instance);
  if constexpr (std::is_member_object_pointer_v<decltype(Set)>)
    self.*Set = std::forward<T>(Value);
  else if constexpr (std::is_invocable_v<decltype(Set), C&, std::int32_t, T>)
    (self.*Set)(Prop.Index, std::forward<T>(Value));
  else
    (self.*Set)(std::forward<T>(Value));
}

template <class C, auto Get>
using ValueType =
    std::remove_cvref_t<decltype(ReadValue<C, Get>(std::declval<const TObject&>(), std::declval<const TPropInfo&>()))>;

template <class C, auto Get, auto Set>
void FillAccess(TPropAccess& A) {
  using T = ValueType<C, Get>;
  constexpr bool writable = !std::is_null_pointer_v<decltype(Set)>;
  if constexpr (KindsOfValue<T>().Contains(tkInteger) || KindsOfValue<T>().Contains(tkSet) ||
                KindsOfValue<T>().Contains(tkClass)) {
    A.GetOrd = [](const TObject& o, const TPropInfo& p) { return ToOrd<T>(ReadValue<C, Get>(o, p)); };
    if constexpr (writable)
      A.SetOrd = [](TObject& o, const TPropInfo& p, std::int64_t v) { WriteValue<C, Set>(o, p, FromOrd<T>(v)); };
  } else if constexpr (std::is_same_v<T, Currency>) {
    A.GetFloat = [](const TObject& o, const TPropInfo& p) {
      return static_cast<long double>(ReadValue<C, Get>(o, p).Raw()) / Currency::kScale;
    };
    if constexpr (writable)
      A.SetFloat = [](TObject& o, const TPropInfo& p, long double v) {
        WriteValue<C, Set>(o, p, FloatToCurr(static_cast<double>(v)));
      };
  } else if constexpr (std::is_floating_point_v<T>) {
    A.GetFloat = [](const TObject& o, const TPropInfo& p) { return static_cast<long double>(ReadValue<C, Get>(o, p)); };
    if constexpr (writable)
      A.SetFloat = [](TObject& o, const TPropInfo& p, long double v) { WriteValue<C, Set>(o, p, static_cast<T>(v)); };
  } else if constexpr (std::is_same_v<T, std::string>) {
    A.GetStr = [](const TObject& o, const TPropInfo& p) { return std::string(ReadValue<C, Get>(o, p)); };
    if constexpr (writable)
      A.SetStr = [](TObject& o, const TPropInfo& p, const std::string& v) { WriteValue<C, Set>(o, p, v); };
  } else if constexpr (IsMethodPointer<T>::value) {
    A.GetMethod = [](const TObject& o, const TPropInfo& p) { return ReadValue<C, Get>(o, p).ToMethod(); };
    if constexpr (writable)
      A.SetMethod = [](TObject& o, const TPropInfo& p, const TMethod& v) {
        WriteValue<C, Set>(o, p, T::FromMethod(v));
      };
  } else {
    A.GetVariant = [](const TObject& o, const TPropInfo& p, TVariant& v) { v = ReadValue<C, Get>(o, p); };
    if constexpr (writable)
      A.SetVariant = [](TObject& o, const TPropInfo& p, const TVariant& v) { WriteValue<C, Set>(o, p, v); };
  }
}

// Numbers the property (NameIndex) and adds it to the class's own list.
void AddPublishedProperty(TClassInfo& Info, std::shared_ptr<TPropInfo> Prop);
// Adds Entry to the class's own method table, replacing an entry of the same
// name.
void AddPublishedMethod(TClassInfo& Info, std::shared_ptr<const TMethodEntry> Entry);

}  // namespace detail

// Sets the optional parts of one property record while its class is being
// described.
template <class C>
class TPropBuilder {
 public:
  explicit TPropBuilder(TPropInfo& Prop) : prop_(Prop) {}
  // An ordinal, set or int64 default (a set as its elements: TSet{...}).
  template <class V>
  TPropBuilder& Default(const V& Value) {
    prop_.Default = detail::ToOrd<V>(Value);
    return *this;
  }
  TPropBuilder& Stored(bool Value) {
    prop_.StoredConst = Value;
    return *this;
  }
  // Stored when Predicate, a bool C::Name() const, says so for the object.
  template <auto Predicate>
  TPropBuilder& Stored() {
    prop_.StoredProc = [](const TObject& o) { return (static_cast<const C&>(o).*Predicate)(); };
    return *this;
  }
  TPropBuilder& Index(std::int32_t Value) {
    prop_.Index = Value;
    return *this;
  }

 private:
  TPropInfo& prop_;
};

template <class C>
class TClassPublisher {
 public:
  explicit TClassPublisher(TClassInfo& Info) : info_(Info) {}

  template <auto Get, auto Set = nullptr>
  TPropBuilder<C> Property(std::string Name, const TTypeInfo* Type) {
    using T = detail::ValueType<C, Get>;
    assert(Type && detail::KindsOfValue<T>().Contains(Type->Kind));
    auto prop = std::make_shared<TPropInfo>();
    prop->Name = std::move(Name);
    prop->PropType = Type;
    detail::FillAccess<C, Get, Set>(prop->Access);
    TPropInfo& record = *prop;
    detail::AddPublishedProperty(info_, std::move(prop));
    return TPropBuilder<C>(record);
  }

  template <auto Function>
  void Method(std::string Name) {
    detail::AddPublishedMethod(info_, MakeMethodEntry<Function>(std::move(Name)));
  }

 private:
  TClassInfo& info_;
};
