#pragma once
// The root of the program's class family.
//
// Every TObject knows its class at run time through a TClassInfo record:
// name, parent class, unit name and the factory that makes an object of the
// class by name (its virtual constructor). The record lives behind a function
// (created on first use), so nothing depends on the order of static
// initialisation. A class declares its record with KESTOVA_CLASS as the first
// line of its body and defines it in its .cpp with KESTOVA_CLASS_INFO:
//
//   class TShape : public TPersistent {
//     KESTOVA_CLASS(TShape)
//    public:
//     ...
//   };
//   KESTOVA_CLASS_INFO(TShape, TPersistent, "Shapes", nullptr)
//
// The macro leaves the access at public. A class without KESTOVA_CLASS
// answers its nearest declared ancestor's name.
//
// A class that describes more of itself (message handlers, published
// properties) uses KESTOVA_CLASS_INFO_DESCRIBED with a function that fills
// the record once, on first use:
//
//   static void DescribeTShape(TClassInfo& Info) {
//     AddMessageHandler<&TShape::CMColorChanged>(Info, CM_COLORCHANGED);
//   }
//   KESTOVA_CLASS_INFO_DESCRIBED(TShape, TPersistent, "Shapes", nullptr,
//   DescribeTShape)
//
// The describing function gets the record being built and must not call the
// class's own StaticClass (the record is not ready until it returns).
//
// Messages: Dispatch looks up the message number in the handler table of the
// object's class, then of each ancestor, newest class first, and calls the
// first handler found; with none it calls DefaultHandler. A handler that
// wants its ancestors' handling calls InheritedMessage with its own class.
//
// Freeing: Free() runs BeforeDestruction while the object is still whole
// (every override, and ClassName, still answer for the real class), then
// deletes it. Plain `delete` skips BeforeDestruction. The memory of every
// TObject is released through TObject's own operator delete, which then
// reports the released address to the object-freed observer (a seam for the
// free notifiers; see SetObjectFreedObserver).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/Message.h"

class TObject;
class TPersistent;
class TFiler;
struct TPropInfo;     // platform/classes/TypInfo.h
struct TMethodTable;  // platform/classes/MethodTable.h

// Makes an object of a class by name; Owner is the owner a component or a
// collection item is made for (nullptr for none).
using TObjectFactory = TObject *(*)(TObject *Owner);

// Calls one class's handler for a message on Self, an object of that class.
using TMessageHandler = void (*)(TObject *Self, TMessage &Message);
struct TMessageEntry {
  std::uint32_t Msg = 0;
  TMessageHandler Handler = nullptr;
};

struct TClassInfo {
  TClassInfo(std::string AName, TClassInfo *AParent, std::string AUnitName, TObjectFactory AFactory)
      : Name(std::move(AName)), Parent(AParent), UnitName(std::move(AUnitName)), Factory(AFactory) {}
  TClassInfo(const TClassInfo &) = delete;
  TClassInfo &operator=(const TClassInfo &) = delete;

  std::string Name;  // changeable, so that a design-time class can be renamed
  TClassInfo *Parent = nullptr;
  std::string UnitName;
  TObjectFactory Factory = nullptr;  // nullptr: not made by name
  // This class's own handlers; ancestors keep theirs.
  std::vector<TMessageEntry> MessageHandlers;
  // The published properties this class declares, in declaration order
  // (ancestors keep theirs); filled by the describing function.
  std::vector<std::shared_ptr<const TPropInfo>> Properties;
  // This class's published-method table (nullptr: none). Changeable, so that
  // a designer can put a generated table in its place and restore this one.
  std::shared_ptr<const TMethodTable> Methods;

  // True when this class is Ancestor or derives from it; false for nullptr.
  bool InheritsFrom(const TClassInfo *Ancestor) const;
  // This class's own handler for Msg (not an ancestor's), or nullptr.
  TMessageHandler FindMessageHandler(std::uint32_t Msg) const;
};
using TClass = TClassInfo *;

#define KESTOVA_CLASS(Class)   \
 public:                       \
  static TClass StaticClass(); \
  TClass ClassType() const override { return Class::StaticClass(); }

#define KESTOVA_CLASS_INFO(Class, ParentClass, Unit, FactoryFunction)                  \
  TClass Class::StaticClass() {                                                        \
    static TClassInfo info{#Class, ParentClass::StaticClass(), Unit, FactoryFunction}; \
    return &info;                                                                      \
  }

#define KESTOVA_CLASS_INFO_DESCRIBED(Class, ParentClass, Unit, FactoryFunction, Describe) \
  TClass Class::StaticClass() {                                                           \
    static TClassInfo info{#Class, ParentClass::StaticClass(), Unit, FactoryFunction};    \
    static const bool described = (Describe(info), true);                                 \
    (void)described;                                                                      \
    return &info;                                                                         \
  }


class TObject {
 public:
  TObject() = default;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  std::string ClassName() const { return ClassType()->Name; }
  // Case-insensitive, as class names are compared in streams.
  bool ClassNameIs(std::string_view Name) const;
  TClass ClassParent() const { return ClassType()->Parent; }
  bool InheritsFrom(const TClassInfo *Ancestor) const { return ClassType()->InheritsFrom(Ancestor); }

  // Hands Message to the nearest handler of this object's class chain, or to
  // DefaultHandler when no class has one.
  virtual void Dispatch(TMessage &Message);
  // What happens to a message no class handles; the root does nothing.
  virtual void DefaultHandler(TMessage &Message) {}
  // For a handler of class Class: runs the handler of Class's nearest
  // ancestor that has one, else DefaultHandler.
  void InheritedMessage(const TClassInfo *Class, TMessage &Message);

  // Runs once after the most-derived constructor when the object is made
  // through Construct or a class factory: the place for set-up that needs
  // the descendants' overrides, which a constructor cannot reach.
  virtual void AfterConstruction() {}
  // Runs just before the destructor when the object is freed with Free (or by
  // its owner); the object is whole during the call.
  virtual void BeforeDestruction() {}
  // BeforeDestruction, then delete. Callers check for nullptr; FreeAndNil
  // does it for them.
  void Free();

  // Paired with the reporting operator delete.
  static void *operator new(std::size_t Size) { return ::operator new(Size); }
  static void *operator new(std::size_t Size, std::align_val_t Alignment) { return ::operator new(Size, Alignment); }
  // Placement forms stay visible beside the class's own.
  static void *operator new(std::size_t, void *Place) noexcept { return Place; }
  static void operator delete(void *, void *) noexcept {}
  static void operator delete(void *Address, std::size_t Size) noexcept;
  static void operator delete(void *Address, std::size_t Size, std::align_val_t Alignment) noexcept;
};

// Makes a T with Args and runs its AfterConstruction, as every creation path
// of the class library does (the factories below, stream reading). When
// AfterConstruction raises, the object is freed and the error passes on.
template <class T, class... Args>
T *Construct(Args &&...args) {
  T *object = new T(std::forward<Args>(args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    object->Free();
    throw;
  }
  return object;
}

// Factory for a class whose default constructor makes a usable object.
template <class T>
TObject *MakeObject(TObject * /*Owner*/) {
  return Construct<T>();
}

// Frees Object (nothing for nullptr) after setting the variable to nullptr,
// so the destructor never sees the variable pointing at a half-freed object.
template <class T>
void FreeAndNil(T *&Object) {
  T *object = Object;
  Object = nullptr;
  if (object) object->Free();
}

namespace detail {
template <class M>
struct MessageMethodClass;
template <class C>
struct MessageMethodClass<void (C::*)(TMessage &)> {
  using Type = C;
};
}  // namespace detail

// Adds a class's message handler to its record; Method is a member function
// void C::Handler(TMessage&). A second handler for one number replaces the
// first.
template <auto Method>
void AddMessageHandler(TClassInfo &Info, std::uint32_t Msg) {
  using C = typename detail::MessageMethodClass<decltype(Method)>::Type;
  const TMessageHandler handler = [](TObject *Self, TMessage &Message) { (static_cast<C *>(Self)->*Method)(Message); };
  for (TMessageEntry &entry : Info.MessageHandlers)
    if (entry.Msg == Msg) {
      entry.Handler = handler;
      return;
    }
  Info.MessageHandlers.push_back({Msg, handler});
}

// Told after the memory of a TObject has been released, with the address it
// had. ObjectFreed runs on the thread that freed the object; when it frees
// TObjects itself, it is called again for them from within.
class TObjectFreedObserver {
 public:
  virtual void ObjectFreed(const void *Address) = 0;

 protected:
  ~TObjectFreedObserver() = default;
};

// Installs the process's one observer (nullptr: none); returns the previous
// one so that a caller can restore it.
TObjectFreedObserver *SetObjectFreedObserver(TObjectFreedObserver *Observer);

// An object that can copy itself to or from another (Assign) and has a place
// in a name path (GetNamePath: "Form1.Button1").
class TPersistent : public TObject {
  KESTOVA_CLASS(TPersistent)
 public:
  // Copies Source into this object. The default hands the work to
  // Source->AssignTo(this); when neither side knows the other it raises
  // EConvertError "Cannot assign a <source class or nil> to a <this class>".
  virtual void Assign(const TPersistent *Source);
  virtual std::string GetNamePath() const;
  // The object this one belongs to in a name path, or nullptr.
  virtual TPersistent *GetOwner() const { return nullptr; }
  // Lets a class write and read values that are not published properties.
  virtual void DefineProperties(TFiler *Filer) {}

 protected:
  virtual void AssignTo(TPersistent *Dest) const;
  [[noreturn]] void AssignError(const TPersistent *Source) const;
};
