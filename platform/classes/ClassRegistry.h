#pragma once
// The process's class registry: the classes a component stream may name.
//
// The registry is one process-wide object behind a function, created on first
// use, so a class can be registered from any start-up step. Names are looked
// up without regard to case, by each class's current name (a class renamed
// for a design is found by its new name). Registering a class registers its
// ancestors too, up to TPersistent. Each registration is tagged with the
// module that made it, so that the classes of an unloaded package can be
// forgotten at once (UnRegisterModuleClasses); the program's own classes
// have tag 0. The registry is safe to use from several threads.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "platform/core/Object.h"

// Identifies the module (the program, or a loaded package) that registered a
// class.
using TModuleTag = std::intptr_t;

// Raised (as EFilerError) when another class already has the name.
inline constexpr const char* kDuplicateClassText = "A class named %s already exists";

// The module that registrations are tagged with from now on (0 at start);
// returns the previous one so the caller can put it back.
TModuleTag SetRegisteringModule(TModuleTag Module);
TModuleTag RegisteringModule();

// Registers Class and its ancestors up to TPersistent; a class registered
// before is left as it is. Raises EFilerError with kDuplicateClassText when
// another class has the name of one of them.
void RegisterClass(TClass Class);
void RegisterClasses(std::initializer_list<TClass> Classes);
// Forgets Class (its ancestors stay).
void UnRegisterClass(TClass Class);
// Forgets every class that Module registered.
void UnRegisterModuleClasses(TModuleTag Module);

// The registered class named Name, or nullptr.
TClass GetClass(std::string_view Name);
// As GetClass, but raises EClassNotFound with kClassNotFoundText ("Class %s
// not found") when there is none.
TClass FindClass(std::string_view Name);

// ---- Registration hooks ----
// A component library that keeps a palette installs these to hear which
// classes a package registers for a palette page, which have no palette icon
// and which are not to be offered as ActiveX controls. Each hook is empty
// until installed; an installer fills only an empty hook and, when it leaves,
// empties only a hook that is still its own.
using TRegisterComponentsProc = void (*)(const std::string& Page, std::span<const TClass> Classes);
using TRegisterClassesProc = void (*)(std::span<const TClass> Classes);

TRegisterComponentsProc RegisterComponentsProc();
void SetRegisterComponentsProc(TRegisterComponentsProc Proc);
TRegisterClassesProc RegisterNoIconProc();
void SetRegisterNoIconProc(TRegisterClassesProc Proc);
TRegisterClassesProc RegisterNonActiveXProc();
void SetRegisterNonActiveXProc(TRegisterClassesProc Proc);

// Hand Classes to the installed hook; nothing when it is empty.
void RegisterComponents(const std::string& Page, std::span<const TClass> Classes);
void RegisterNoIcon(std::span<const TClass> Classes);
void RegisterNonActiveX(std::span<const TClass> Classes);

// ---- Names of integer values ----
// Integer types whose values have names (colours, cursors) are written into
// a component stream by name when the value has one, and read from either a
// name or a number. A type's two mappings are registered once at start-up.
using TIdentToIntProc = bool (*)(std::string_view Ident, std::int32_t& Value);
using TIntToIdentProc = bool (*)(std::int32_t Value, std::string& Ident);
struct TTypeInfo;
void RegisterIntegerConsts(const TTypeInfo* IntegerType, TIdentToIntProc IdentToInt, TIntToIdentProc IntToIdent);
// The mappings of IntegerType; both nullptr when it has none.
void FindIntegerConsts(const TTypeInfo* IntegerType, TIdentToIntProc& IdentToInt, TIntToIdentProc& IntToIdent);
