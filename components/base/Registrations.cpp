#include "components/base/Registrations.h"

#include "components/base/MessageBroadcast.h"

KESTOVA_CLASS_INFO(TVerbObject, TPersistent, "Registrations", nullptr)

namespace {

const char* const kVerbName = "Verb.Name";
const char* const kVerbGetState = "Verb.GetState";
const char* const kVerbExecute = "Verb.Execute";
const char* const kKeyboardId = "KeyboardClass.ID";
const char* const kKeyboardInitName = "KeyboardClass.InitName";
const char* const kKeyboardInitProc = "KeyboardClass.InitProc";

int& VerbUpdateCount() {
  static int count = 0;
  return count;
}

}  // namespace

// ---- Verbs ----

TObjectParamListItem* RegisterVerb(const std::string& Name, TVerbGetStateProc GetStateProc,
                                   TVerbExecuteProc ExecuteProc) {
  TObjectParamListItem* entry = RegisterObjectParams(
      TVerbObject::StaticClass(), {kVerbName, kVerbGetState, kVerbExecute}, {Name, GetStateProc, ExecuteProc});
  NotifyVerbsChanged();
  return entry;
}

void RegisterVerbs(const std::vector<TVerbRec>& Verbs) {
  TVerbUpdateGuard update;
  for (const TVerbRec& verb : Verbs) RegisterVerb(verb.Name, verb.GetState, verb.Execute);
}

TObjectParamListItem* FindVerb(std::string_view Name, TVerbGetStateProc& GetStateProc, TVerbExecuteProc& ExecuteProc) {
  TObjectParamListItem* entry =
      FindObjectParamsByDescendant(TVerbObject::StaticClass(), {kVerbName}, kMatchIgnoreCase, {std::string(Name)});
  if (entry) {
    GetStateProc = ParamProc<void(TVerbState&)>(entry, kVerbGetState);
    ExecuteProc = ParamProc<void()>(entry, kVerbExecute);
  }
  return entry;
}

void ExecuteVerb(std::string_view Name) {
  TVerbGetStateProc getState = nullptr;
  TVerbExecuteProc execute = nullptr;
  if (FindVerb(Name, getState, execute) && execute) execute();
}

void NotifyVerbsChanged() {
  if (VerbUpdateCount() == 0) BroadcastCommand(ZRM_VERBSCHANGED);
}

bool VerbUpdateOpen() { return VerbUpdateCount() > 0; }

void BeginVerbUpdate() {
  if (VerbUpdateCount() == 0) BroadcastCommand(ZRM_VERBUPDATEBEGAN);
  ++VerbUpdateCount();
}

void EndVerbUpdate() {
  int& count = VerbUpdateCount();
  if (count <= 0) return;
  --count;
  if (count == 0) {
    BroadcastCommand(ZRM_VERBUPDATEENDED);
    NotifyVerbsChanged();
  }
}

TVerbUpdateGuard::~TVerbUpdateGuard() noexcept(false) {
  if (std::uncaught_exceptions() <= exceptions_) {
    EndVerbUpdate();
    return;
  }
  try {
    EndVerbUpdate();
  } catch (...) {
    // The exception that is unwinding this scope is the one to report.
  }
}

// ---- Keyboard mappings ----

TObjectParamListItem* RegisterKeyboardMapping(TClass ControlClass, const std::string& Name,
                                              TKeyboardInitProc InitProc) {
  return RegisterObjectParams(ControlClass, {kKeyboardId, kKeyboardInitName, kKeyboardInitProc},
                              {kKeyboardId, Name, InitProc});
}

TKeyboardInitProc FindKeyboardInitProc(TClass ControlClass, std::string_view Name) {
  TObjectParamListItem* entry = FindObjectParamsByBase(ControlClass, {kKeyboardId, kKeyboardInitName}, kMatchIgnoreCase,
                                                       {kKeyboardId, std::string(Name)});
  return ParamProc<void(TComponent*)>(entry, kKeyboardInitProc);
}

// ---- Code designers and options pages ----

TObjectParamListItem* RegisterCodeDesigner(TClass DesignerClass, const std::string& Extension, bool ForUnit) {
  return RegisterObjectParams(DesignerClass, {"CodeDes.ForUnit", "CodeDes.Extension"}, {ForUnit, Extension});
}

TObjectParamListItem* RegisterUnitCodeDesigner(TClass DesignerClass, const std::string& Extension) {
  return RegisterCodeDesigner(DesignerClass, Extension, true);
}

TObjectParamListItem* RegisterScriptCodeDesigner(TClass DesignerClass, const std::string& Extension) {
  return RegisterCodeDesigner(DesignerClass, Extension, false);
}

TObjectParamListItem* RegisterEnvironmentOptions(TClass PageFormClass) {
  return RegisterObjectParams(PageFormClass, {"Environment.Options"}, {std::uint8_t{123}});
}
