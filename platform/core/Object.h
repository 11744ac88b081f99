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
// Freeing: Free() runs BeforeDestruction while the object is still whole
// (every override, and ClassName, still answer for the real class), then
// deletes it. Plain `delete` skips BeforeDestruction. The memory of every
// TObject is released through TObject's own operator delete, which then
// reports the released address to the object-freed observer (a seam for the
// free notifiers; see SetObjectFreedObserver).

#include <cstddef>
#include <new>
#include <string>
#include <string_view>

class TObject;
class TPersistent;
class TFiler;

// Makes an object of a class by name; Owner is the owner a component or a
// collection item is made for (nullptr for none).
using TObjectFactory = TObject* (*)(TObject* Owner);

struct TClassInfo {
  std::string Name;  // changeable, so that a design-time class can be renamed
  TClassInfo* Parent = nullptr;
  std::string UnitName;
  TObjectFactory Factory = nullptr;  // nullptr: not made by name

  // True when this class is Ancestor or derives from it; false for nullptr.
  bool InheritsFrom(const TClassInfo* Ancestor) const;
};
using TClass = TClassInfo*;

#define KESTOVA_CLASS(Class)   \
 public:                       \
  static TClass StaticClass(); \
  TClass ClassType() const override { return Class::StaticClass(); }

#define KESTOVA_CLASS_INFO(Class, ParentClass, Unit, FactoryFunction)                  \
  TClass Class::StaticClass() {                                                        \
    static TClassInfo info{#Class, ParentClass::StaticClass(), Unit, FactoryFunction}; \
    return &info;                                                                      \
  }

// Factory for a class whose default constructor makes a usable object.
template <class T>
TObject* MakeObject(TObject* /*Owner*/) {
  return new T();
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
  bool InheritsFrom(const TClassInfo* Ancestor) const { return ClassType()->InheritsFrom(Ancestor); }

  // Runs just before the destructor when the object is freed with Free (or by
  // its owner); the object is whole during the call.
  virtual void BeforeDestruction() {}
  // BeforeDestruction, then delete. Callers check for nullptr; FreeAndNil
  // does it for them.
  void Free();

  // Paired with the reporting operator delete.
  static void* operator new(std::size_t Size) { return ::operator new(Size); }
  static void* operator new(std::size_t Size, std::align_val_t Alignment) { return ::operator new(Size, Alignment); }
  // Placement forms stay visible beside the class's own.
  static void* operator new(std::size_t, void* Place) noexcept { return Place; }
  static void operator delete(void*, void*) noexcept {}
  static void operator delete(void* Address, std::size_t Size) noexcept;
  static void operator delete(void* Address, std::size_t Size, std::align_val_t Alignment) noexcept;
};

// Frees Object (nothing for nullptr) after setting the variable to nullptr,
// so the destructor never sees the variable pointing at a half-freed object.
template <class T>
void FreeAndNil(T*& Object) {
  T* object = Object;
  Object = nullptr;
  if (object) object->Free();
}

// Told after the memory of a TObject has been released, with the address it
// had. ObjectFreed runs on the thread that freed the object and must not free
// TObjects itself.
class TObjectFreedObserver {
 public:
  virtual void ObjectFreed(const void* Address) = 0;

 protected:
  ~TObjectFreedObserver() = default;
};

// Installs the process's one observer (nullptr: none); returns the previous
// one so that a caller can restore it.
TObjectFreedObserver* SetObjectFreedObserver(TObjectFreedObserver* Observer);

// An object that can copy itself to or from another (Assign) and has a place
// in a name path (GetNamePath: "Form1.Button1").
class TPersistent : public TObject {
  KESTOVA_CLASS(TPersistent)
 public:
  // Copies Source into this object. The default hands the work to
  // Source->AssignTo(this); when neither side knows the other it raises
  // EConvertError "Cannot assign a <source class or nil> to a <this class>".
  virtual void Assign(const TPersistent* Source);
  virtual std::string GetNamePath() const;
  // The object this one belongs to in a name path, or nullptr.
  virtual TPersistent* GetOwner() const { return nullptr; }
  // Lets a class write and read values that are not published properties.
  virtual void DefineProperties(TFiler* Filer) {}

 protected:
  virtual void AssignTo(TPersistent* Dest) const;
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};
