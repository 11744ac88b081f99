#pragma once
// Events as comparable method pointers.
//
// A method pointer has a code part (which function runs) and a data part
// (what it runs on: an object, or the captures of a lambda). Setters that must
// ignore "the same handler again" compare the code part only (SameCode), so a
// host that hands over the same member function of another object, or a new
// copy of the same lambda expression, is treated as unchanged; == compares
// both parts.
//
// Making one:
//   TNotifyEvent f = TNotifyEvent::Of<&Form::ButtonClick>(form);  // member function
//   TNotifyEvent g = [&](TObject* Sender) { ... };                  // any callable
// A member-function pointer does not keep its object alive; a callable is
// kept by the method pointer (copies share it). An empty method pointer
// (default or nullptr) is false and must not be called.
//
// Published methods (see MethodEntry.h): a method pointer made from a
// class's published entry (FromMethod) keeps the entry, so its name can be
// written back; it equals one made with Of for the same member function and
// object. One made from a design-time entry has no code: it is false,
// Assigned() is true, and a call raises EInvalidOperation instead of running
// anything. Equality and SameCode compare a design-time entry's number where
// there is no code.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/core/MethodEntry.h"

class TObject;

template <typename Signature>
class TMethodPointer;

template <typename R, typename... Args>
class TMethodPointer<R(Args...)> {
 public:
  using Code = R (*)(void* data, Args... args);

  TMethodPointer() = default;
  TMethodPointer(std::nullptr_t) {}

  // Any callable taking Args and returning something convertible to R. Its
  // code part is its type: copies of one lambda expression share it.
  template <class F>
  requires(!std::is_same_v<std::decay_t<F>, TMethodPointer> && !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
           std::is_invocable_r_v<R, std::decay_t<F>&, Args...>) TMethodPointer(F&& callable)
      : holder_(std::make_shared<std::decay_t<F>>(std::forward<F>(callable))),
        code_(&CallableThunk<std::decay_t<F>>),
        data_(holder_.get()) {}

  // A member function of `object`, which must outlive every call. The code
  // part is that of the function's own class, whatever the object's static
  // type, so it matches the class's published entry for the function.
  template <auto Method, class C>
  static TMethodPointer Of(C& object) {
    using Owner = typename detail::MemberFunction<decltype(Method)>::Class;
    TMethodPointer m;
    m.code_ = &MemberThunk<Owner, Method>;
    m.data_ = static_cast<Owner*>(&object);
    if constexpr (std::is_base_of_v<TObject, C>) m.object_ = &object;
    return m;
  }

  // From a method property's value. Raises EInvalidCast when the method has
  // code of another signature; a design-time method fits every signature.
  static TMethodPointer FromMethod(const TMethod& method) {
    if (method.Code && method.Signature != SignatureIdOf<R(Args...)>()) throw EInvalidCast();
    TMethodPointer m;
    m.holder_ = method.Holder;
    m.code_ = reinterpret_cast<Code>(method.Code);
    m.data_ = method.Data;
    m.entry_ = method.Entry;
    return m;
  }
  TMethod ToMethod() const {
    TMethod m;
    m.Code = reinterpret_cast<TErasedCode>(code_);
    m.Data = data_;
    m.Signature = code_ ? SignatureIdOf<R(Args...)>() : nullptr;
    m.Holder = holder_;
    m.Entry = entry_;
    return m;
  }
  // The code of Of<Method> for objects of class C: what a published entry
  // for that member function holds.
  template <class C, auto Method>
  static Code MemberCode() {
    return &MemberThunk<C, Method>;
  }

  // True when the pointer can be called.
  explicit operator bool() const { return code_ != nullptr; }
  // Has code or a design-time entry: an event that streams and designers see
  // as set.
  bool Assigned() const { return code_ != nullptr || entry_ != nullptr; }
  R operator()(Args... args) const {
    if (!code_) RaiseMethodWithoutCode(entry_.get());
    return code_(data_, std::forward<Args>(args)...);
  }

  Code CodePart() const { return code_; }
  const void* DataPart() const { return data_; }
  // The published entry this pointer was made from, or nullptr.
  const TMethodEntry* Entry() const { return entry_.get(); }
  // The object a member function runs on when that object is a TObject,
  // else nullptr (callables, other classes).
  TObject* Object() const { return object_; }
  bool SameCode(const TMethodPointer& other) const {
    return code_ == other.code_ && DesignCode() == other.DesignCode();
  }
  friend bool operator==(const TMethodPointer& a, const TMethodPointer& b) {
    return a.SameCode(b) && a.data_ == b.data_;
  }

 private:
  template <class F>
  static R CallableThunk(void* data, Args... args) {
    return static_cast<R>((*static_cast<F*>(data))(std::forward<Args>(args)...));
  }
  template <class C, auto Method>
  static R MemberThunk(void* data, Args... args) {
    return static_cast<R>((static_cast<C*>(data)->*Method)(std::forward<Args>(args)...));
  }

  std::intptr_t DesignCode() const { return !code_ && entry_ ? entry_->DesignCode : 0; }

  std::shared_ptr<void> holder_;
  Code code_ = nullptr;
  void* data_ = nullptr;
  std::shared_ptr<const TMethodEntry> entry_;
  TObject* object_ = nullptr;
};

// The plain event: something happened to Sender.
using TNotifyEvent = TMethodPointer<void(TObject* Sender)>;
