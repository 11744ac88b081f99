#pragma once
// Named registrations on the parameter registry (ObjectParams.h): verbs
// (named commands) with their update bracket, keyboard mappings of control
// classes, code designers by file extension and environment-options pages.
//
// Verbs: a verb is an entry of class TVerbObject with "Verb.Name" (text),
// "Verb.GetState" and "Verb.Execute" (procedures, nullptr for none). A name
// is found without regard to case, and the oldest registration of a name
// wins. Verb changes are announced with family broadcasts: ZRM_VERBSCHANGED
// after each change outside an update bracket; inside nested brackets
// ZRM_VERBUPDATEBEGAN when the outermost opens and, when it closes,
// ZRM_VERBUPDATEENDED followed by one ZRM_VERBSCHANGED.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "components/base/ObjectParams.h"
#include "platform/core/Object.h"

class TComponent;

// ---- Verbs ----

// The class verbs are registered under; it has no instances.
class TVerbObject : public TPersistent {
  KESTOVA_CLASS(TVerbObject)
};

// A verb's state: a byte set.
using TVerbState = std::uint8_t;
inline constexpr TVerbState kVerbVisible = 0x01;
inline constexpr TVerbState kVerbEnabled = 0x02;
inline constexpr TVerbState kVerbChecked = 0x04;

// Gets the state preset by the caller and may change it.
using TVerbGetStateProc = void (*)(TVerbState& State);
using TVerbExecuteProc = void (*)();

struct TVerbRec {
  std::string Name;
  TVerbGetStateProc GetState = nullptr;
  TVerbExecuteProc Execute = nullptr;
};

// Registers the verb, then NotifyVerbsChanged.
TObjectParamListItem* RegisterVerb(const std::string& Name, TVerbGetStateProc GetStateProc,
                                   TVerbExecuteProc ExecuteProc);
// Registers each verb in order inside one update bracket, which is closed
// also when a registration raises (the exception then propagates).
void RegisterVerbs(const std::vector<TVerbRec>& Verbs);

// The oldest enabled verb named Name (without case); its procedures go to
// GetStateProc and ExecuteProc. nullptr when there is none, and then the two
// are left as they were.
TObjectParamListItem* FindVerb(std::string_view Name, TVerbGetStateProc& GetStateProc, TVerbExecuteProc& ExecuteProc);
// Runs the execute procedure of FindVerb(Name), when there is one.
void ExecuteVerb(std::string_view Name);

// ZRM_VERBSCHANGED, unless an update bracket is open.
void NotifyVerbsChanged();
// True while an update bracket is open.
bool VerbUpdateOpen();
// Opens a bracket; the outermost sends ZRM_VERBUPDATEBEGAN first.
void BeginVerbUpdate();
// Closes a bracket; the outermost sends ZRM_VERBUPDATEENDED, then
// NotifyVerbsChanged. Without an open bracket nothing happens: the count is
// never negative.
void EndVerbUpdate();

// An update bracket for a scope. When the scope is left by an exception, an
// exception raised by a receiver of the closing broadcasts is dropped, so the
// first one reaches the caller.
class TVerbUpdateGuard {
 public:
  TVerbUpdateGuard() { BeginVerbUpdate(); }
  ~TVerbUpdateGuard() noexcept(false);
  TVerbUpdateGuard(const TVerbUpdateGuard&) = delete;
  TVerbUpdateGuard& operator=(const TVerbUpdateGuard&) = delete;

 private:
  int exceptions_ = std::uncaught_exceptions();
};

// ---- Keyboard mappings ----

// Fills a control's key list.
using TKeyboardInitProc = void (*)(TComponent* Control);

// Registers mapping Name for ControlClass and its descendants.
TObjectParamListItem* RegisterKeyboardMapping(TClass ControlClass, const std::string& Name, TKeyboardInitProc InitProc);
// The init procedure of the oldest mapping named Name (without case)
// registered for ControlClass or one of its ancestors; nullptr when none.
TKeyboardInitProc FindKeyboardInitProc(TClass ControlClass, std::string_view Name);

// ---- Code designers and options pages ----

// Registers DesignerClass for files with Extension ("CodeDes.Extension"),
// for units or for scripts ("CodeDes.ForUnit").
TObjectParamListItem* RegisterCodeDesigner(TClass DesignerClass, const std::string& Extension, bool ForUnit);
TObjectParamListItem* RegisterUnitCodeDesigner(TClass DesignerClass, const std::string& Extension);
TObjectParamListItem* RegisterScriptCodeDesigner(TClass DesignerClass, const std::string& Extension);

// Marks PageFormClass as an environment-options page ("Environment.Options",
// a byte 123).
TObjectParamListItem* RegisterEnvironmentOptions(TClass PageFormClass);
