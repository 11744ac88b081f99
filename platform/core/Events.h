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
//   TNotifyEvent f = TNotifyEvent::Of<&Form::ButtonClick>(form);  // member
//   function TNotifyEvent g = [&](TObject* Sender) { ... };                  //
//   any callable
// A member-function pointer does not keep its object alive; a callable is
// kept by the method pointer (copies share it). An empty method pointer
// (default or nullptr) is false and must not be called.

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

class TObject;

template <typename Signature> class TMethodPointer;

template <typename R, typename... Args> class TMethodPointer<R(Args...)> {
public:
  using Code = R (*)(void *data, Args... args);

  TMethodPointer() = default;
  TMethodPointer(std::nullptr_t) {}

  // Any callable taking Args and returning something convertible to R. Its
  // code part is its type: copies of one lambda expression share it.
  template <class F>
  requires(!std::is_same_v<std::decay_t<F>, TMethodPointer> &&
           !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
           std::is_invocable_r_v<R, std::decay_t<F> &, Args...>)
      TMethodPointer(F &&callable)
      : holder_(std::make_shared<std::decay_t<F>>(std::forward<F>(callable))),
        code_(&CallableThunk<std::decay_t<F>>), data_(holder_.get()) {}

  // A member function of `object`, which must outlive every call.
  template <auto Method, class C> static TMethodPointer Of(C &object) {
    TMethodPointer m;
    m.code_ = &MemberThunk<C, Method>;
    m.data_ = &object;
    if constexpr (std::is_base_of_v<TObject, C>)
      m.object_ = &object;
    return m;
  }

  explicit operator bool() const { return code_ != nullptr; }
  R operator()(Args... args) const {
    return code_(data_, std::forward<Args>(args)...);
  }

  Code CodePart() const { return code_; }
  const void *DataPart() const { return data_; }
  // The object a member function runs on when that object is a TObject,
  // else nullptr (callables, other classes).
  TObject *Object() const { return object_; }
  bool SameCode(const TMethodPointer &other) const {
    return code_ == other.code_;
  }
  friend bool operator==(const TMethodPointer &a, const TMethodPointer &b) {
    return a.code_ == b.code_ && a.data_ == b.data_;
  }

private:
  template <class F> static R CallableThunk(void *data, Args... args) {
    return static_cast<R>(
        (*static_cast<F *>(data))(std::forward<Args>(args)...));
  }
  template <class C, auto Method>
  static R MemberThunk(void *data, Args... args) {
    return static_cast<R>(
        (static_cast<C *>(data)->*Method)(std::forward<Args>(args)...));
  }

  std::shared_ptr<void> holder_;
  Code code_ = nullptr;
  void *data_ = nullptr;
  TObject *object_ = nullptr;
};

// The plain event: something happened to Sender.
using TNotifyEvent = TMethodPointer<void(TObject *Sender)>;
