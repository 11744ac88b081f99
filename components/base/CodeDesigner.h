#pragma once
// The base of the code designers: one per script language or unit kind,
// each keeping the event-handler source of a form or data module in step
// with what the form designer does. Designers are found through the
// parameter registry by file extension.
//
// Every operation but the few with a base behaviour below is the
// descendant's; their order is the order of the designer's virtual table.

#include <cstdint>
#include <string>

#include "platform/classes/Component.h"
#include "platform/core/Events.h"

class TStrings;
struct TTypeData;

// Sender asks for the source to be shown at column X of line Y.
using TShowSourceEvent = TMethodPointer<void(TObject *Sender, std::int32_t X, std::int32_t Y)>;

class TCodeDesigner : public TComponent {
  KESTOVA_CLASS(TCodeDesigner)
 public:
  explicit TCodeDesigner(TComponent *AOwner) : TComponent(AOwner) {}

  // The form or data module whose handlers the source holds; may be nullptr.
  TComponent *ModuleOwner = nullptr;
  TShowSourceEvent OnShowSource;

  virtual void SetStrings(TStrings *Strings) = 0;
  virtual TStrings *GetStrings() = 0;
  // Raises OnShowSource(this, X, Y) when assigned.
  virtual void DoShowSource(std::int32_t X, std::int32_t Y);
  // The parser class that reads the source; nullptr: none.
  virtual TClass GetParserClass() { return nullptr; }
  // Adds a handler of the method type TypeData describes and shows it.
  virtual void CreateMethod(const std::string &Name, const TTypeData *TypeData) = 0;
  virtual void ShowMethod(const std::string &Name) = 0;
  virtual void RenameMethod(const std::string &OldName, const std::string &NewName) = 0;
  virtual void DeleteMethod(const std::string &Name) = 0;
  // Removes the handlers without statements.
  virtual void DeleteEmptyMethods() = 0;
  // Adds to Names every handler compatible with TypeData (all with nullptr).
  virtual void GetMethods(const TTypeData *TypeData, TStrings *Names) = 0;
  virtual bool MethodExists(const std::string &Name) = 0;
  // Keep the source's declaration of a component in step.
  virtual void InsertComponent(TComponent *Component, const std::string &Name) = 0;
  virtual void DeleteComponent(TComponent *Component) = 0;
  virtual void RenameComponent(TComponent *Component, const std::string &NewName) = 0;
  virtual bool IsValidMethodName(const std::string &Name) = 0;
  // 1 when the handler does not exist; 0 (empty) or 2 (holds code) otherwise.
  virtual std::int32_t GetMethodState(const std::string &Name) = 0;
  // The units the source uses, in its interface part or its implementation.
  virtual void GetUsedUnits(TStrings *Names, bool Interface) = 0;
  virtual void AddUsedUnits(TStrings *Names, bool Interface) = 0;
  virtual bool IsForUnit() { return false; }
  virtual void RenameUnit(const std::string &OldName, const std::string &NewName) {}
  // Writes the text of a new, empty source named Name.
  virtual void InitSource(const std::string &Name, bool WithModule) = 0;
  // The language's type name for a Variant type code.
  virtual std::string GetTypeName(std::uint16_t VarType) = 0;
  // The characters that end a word of the source.
  virtual std::string GetDelimiters();
};

// What ends a word in most languages the designers serve.
inline constexpr char kCodeDesignerDelimiters[] = "/{}+-*():=,;><$.#[]^@&~|%'";
